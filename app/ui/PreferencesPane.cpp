#include "PreferencesPane.h"

#include "PreferencesController.h"
#include "base/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

PreferencesPane::PreferencesPane(const QString& identifier, PreferencesController& controller, QWidget* parent)
    : QWidget(parent)
    , m_identifier(identifier)
    , m_controller(controller)
    , m_form(new QFormLayout(this))
{
    setObjectName(identifier);
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_form->setContentsMargins(20, 16, 20, 16);
}

PreferencesPane::~PreferencesPane() = default;

UserPreferences& PreferencesPane::prefs() const
{
    return m_controller.prefs();
}

void PreferencesPane::load()
{
    for (const auto& loader : std::as_const(m_loaders)) {
        loader();
    }
}

void PreferencesPane::addRow(const QString& label, QWidget* widget)
{
    if (label.isEmpty()) {
        m_form->addRow(widget);
    } else {
        m_form->addRow(label, widget);
    }
}

QCheckBox* PreferencesPane::addCheckBox(const QString& key, const QString& label, BoolGetter get, BoolSetter set)
{
    auto* box = new QCheckBox(label, this);
    box->setObjectName(key);
    addRow(QString(), box);
    addLoader([this, box, get] {
        const QSignalBlocker blocker(box);
        box->setChecked((prefs().*get)());
    });
    connect(box, &QCheckBox::toggled, this, [this, key, set](bool on) {
        (prefs().*set)(on);
        m_controller.notePreferenceChanged(key);
    });
    return box;
}

QComboBox* PreferencesPane::addChoice(const QString& key, const QString& label, const QStringList& choices,
                                      const std::function<QString()>& current,
                                      const std::function<void(const QString&)>& store)
{
    auto* box = new QComboBox(this);
    box->setObjectName(key);
    box->addItems(choices);
    addRow(label, box);
    addLoader([box, current] {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(box->findText(current())); // a stored value outside the choices shows none
    });
    connect(box, &QComboBox::textActivated, this, [store](const QString& text) { store(text); });
    return box;
}

QLineEdit* PreferencesPane::addFolder(const QString& key, const QString& label, TextGetter get,
                                      const std::function<bool()>& choose)
{
    // The path is only chosen, never typed, so no half-typed folder is ever stored.
    auto* field = new QLineEdit(this);
    field->setObjectName(key);
    field->setReadOnly(true);
    field->setMinimumWidth(260);
    field->setAccessibleName(QString(label).remove(QLatin1Char(':')));
    auto* button = new QPushButton(localizedString(QStringLiteral("PreferencesChooseButton")), this);
    button->setObjectName(key + QStringLiteral(" Choose"));
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    m_form->addRow(label, row);
    addLoader([this, field, get] { field->setText((prefs().*get)()); });
    connect(button, &QPushButton::clicked, this, [field, choose, this, get] {
        if (choose()) {
            field->setText((prefs().*get)());
        }
    });
    return field;
}
