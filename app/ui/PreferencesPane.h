#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class PreferencesController;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class UserPreferences;

// One pane of the preferences window: a form of controls, each bound to one preference. A control
// writes its preference as soon as the person changes it; load() sets every control to the stored
// value (the window calls it whenever the pane is shown) without writing anything back.
class PreferencesPane : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreferencesPane)

public:
    using BoolGetter = bool (UserPreferences::*)() const;
    using BoolSetter = void (UserPreferences::*)(bool);
    using TextGetter = QString (UserPreferences::*)() const;
    using TextSetter = void (UserPreferences::*)(const QString&);

    PreferencesPane(const QString& identifier, PreferencesController& controller, QWidget* parent = nullptr);
    ~PreferencesPane() override;

    QString identifier() const { return m_identifier; }
    void load();

    // A check box for the boolean preference `key`.
    QCheckBox* addCheckBox(const QString& key, const QString& label, BoolGetter get, BoolSetter set);
    // A list of `choices` for the text preference `key`; `store` writes the chosen text.
    QComboBox* addChoice(const QString& key, const QString& label, const QStringList& choices,
                         const std::function<QString()>& current, const std::function<void(const QString&)>& store);
    // The stored text of the folder preference `key` (as stored, "~" included) with a Choose…
    // button; `choose` asks for a folder and answers whether one was stored.
    QLineEdit* addFolder(const QString& key, const QString& label, TextGetter get, const std::function<bool()>& choose);
    // A row of its own for any other widget.
    void addRow(const QString& label, QWidget* widget);
    // Runs `loader` on every load(), after the bound controls are set.
    void addLoader(std::function<void()> loader) { m_loaders.append(std::move(loader)); }

    PreferencesController& controller() const { return m_controller; }
    UserPreferences& prefs() const;

private:
    QString m_identifier;
    PreferencesController& m_controller;
    QFormLayout* m_form;
    QList<std::function<void()>> m_loaders;
};
