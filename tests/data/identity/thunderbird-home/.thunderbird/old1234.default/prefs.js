user_pref("mail.accountmanager.defaultaccount", "account1");
user_pref("mail.account.account1.identities", "id1");
user_pref("mail.identity.id1.fullName", "Wrong Profile");
user_pref("mail.identity.id1.useremail", "wrong@example.org");
