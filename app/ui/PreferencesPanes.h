#pragma once

class PreferencesController;
class PreferencesPane;
class QWidget;

// The five panes of the preferences window, each with the controls of its preferences.
namespace PreferencesPanes {

// Autosave interval, attachment order, printing, the starting folders of imports and exports, and
// the currency list.
PreferencesPane* makeGeneralPane(PreferencesController& controller, QWidget* parent);
// Filling new products from the person's own card.
PreferencesPane* makeAutoFillPane(PreferencesController& controller, QWidget* parent);
// What happens with registration details found in attached e-mails.
PreferencesPane* makeEmailScannerPane(PreferencesController& controller, QWidget* parent);
// The sync export to the phone: on or off, and the cloud-storage folder it writes into.
PreferencesPane* makeSyncUpdatePane(PreferencesController& controller, QWidget* parent);
// Which mail programs' import the window offers.
PreferencesPane* makeAdvancedPane(PreferencesController& controller, QWidget* parent);

} // namespace PreferencesPanes
