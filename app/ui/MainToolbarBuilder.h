#pragma once

class MainToolbar;
class MainWindow;
class UserPreferences;

// Makes the main window's toolbar: gives each item identifier its action (with its image), and
// shows the saved choice of items after bringing its mail items in step with the preferences.
class MainToolbarBuilder
{
public:
    // The toolbar is added to the window, which owns it.
    static MainToolbar* build(MainWindow& window, const UserPreferences& prefs);

private:
    static void setItemActions(MainWindow& window, MainToolbar& toolbar);
};
