user_pref("mail.server.server1.directory-rel", "[ProfD]Mail/Local Folders");
