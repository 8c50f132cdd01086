// An older profile that holds no mail.
user_pref("browser.startup.homepage_override.mstone", "ignore");
