#include "ToolbarCustomizeDialog.h"

#include "MainToolbarLayout.h"
#include "base/Localization.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ToolbarCustomizeDialog::ToolbarCustomizeDialog(const QStringList& allowed, const QStringList& defaults,
                                               const QStringList& current, QWidget* parent)
    : QDialog(parent)
    , m_allowed(allowed)
    , m_defaults(defaults)
{
    setObjectName(QStringLiteral("customizeToolbarDialog"));
    setWindowTitle(localizedString(QStringLiteral("CustomizeToolbarTitle")));
    m_available = new QListWidget(this);
    m_chosen = new QListWidget(this);
    m_available->setObjectName(QStringLiteral("availableList"));
    m_chosen->setObjectName(QStringLiteral("chosenList"));
    auto* add = new QPushButton(localizedString(QStringLiteral("CustomizeToolbarAddButton")), this);
    auto* remove = new QPushButton(localizedString(QStringLiteral("CustomizeToolbarRemoveButton")), this);
    auto* up = new QPushButton(localizedString(QStringLiteral("CustomizeToolbarMoveUpButton")), this);
    auto* down = new QPushButton(localizedString(QStringLiteral("CustomizeToolbarMoveDownButton")), this);
    connect(add, &QPushButton::clicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(remove, &QPushButton::clicked, this, &ToolbarCustomizeDialog::removeSelected);
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(m_available, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::removeSelected);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            &ToolbarCustomizeDialog::restoreDefaults);

    auto* moves = new QVBoxLayout;
    for (QPushButton* button : {add, remove, up, down}) {
        moves->addWidget(button);
    }
    moves->addStretch(1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(localizedString(QStringLiteral("CustomizeToolbarAvailableItems")), this), 0, 0);
    grid->addWidget(new QLabel(localizedString(QStringLiteral("CustomizeToolbarToolbarItems")), this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_chosen, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
    QStringList shown;
    for (const QString& item : current) {
        if (m_allowed.contains(item)) {
            shown.append(item);
        }
    }
    setChosen(shown);
}

ToolbarCustomizeDialog::~ToolbarCustomizeDialog() = default;

QString ToolbarCustomizeDialog::itemLabel(const QString& identifier)
{
    if (identifier == QLatin1String(MainToolbarLayout::Separator)) {
        return localizedString(QStringLiteral("CustomizeToolbarSeparator"));
    }
    if (identifier == QLatin1String(MainToolbarLayout::Space)) {
        return localizedString(QStringLiteral("CustomizeToolbarSpace"));
    }
    if (identifier == QLatin1String(MainToolbarLayout::FlexibleSpace)) {
        return localizedString(QStringLiteral("CustomizeToolbarFlexibleSpace"));
    }
    const QString key = MainToolbarLayout::labelKey(identifier);
    return key.isEmpty() ? identifier : localizedString(key);
}

QListWidgetItem* ToolbarCustomizeDialog::newItem(const QString& identifier)
{
    auto* item = new QListWidgetItem(itemLabel(identifier));
    item->setData(Qt::UserRole, identifier);
    return item;
}

QStringList ToolbarCustomizeDialog::items() const
{
    QStringList identifiers;
    for (int row = 0; row < m_chosen->count(); ++row) {
        identifiers.append(m_chosen->item(row)->data(Qt::UserRole).toString());
    }
    return identifiers;
}

void ToolbarCustomizeDialog::setChosen(const QStringList& items)
{
    m_chosen->clear();
    for (const QString& identifier : items) {
        m_chosen->addItem(newItem(identifier));
    }
    refreshAvailable();
}

void ToolbarCustomizeDialog::refreshAvailable()
{
    const QStringList chosen = items();
    m_available->clear();
    for (const QString& identifier : std::as_const(m_allowed)) {
        if (MainToolbarLayout::isLayoutItem(identifier) || !chosen.contains(identifier)) {
            m_available->addItem(newItem(identifier));
        }
    }
}

void ToolbarCustomizeDialog::addSelected()
{
    QListWidgetItem* item = m_available->currentItem();
    if (!item) {
        return;
    }
    const int row = m_chosen->currentRow() < 0 ? m_chosen->count() : m_chosen->currentRow() + 1;
    m_chosen->insertItem(row, newItem(item->data(Qt::UserRole).toString()));
    m_chosen->setCurrentRow(row);
    refreshAvailable();
}

void ToolbarCustomizeDialog::removeSelected()
{
    const int row = m_chosen->currentRow();
    if (row < 0) {
        return;
    }
    delete m_chosen->takeItem(row);
    refreshAvailable();
}

void ToolbarCustomizeDialog::moveSelected(int offset)
{
    const int row = m_chosen->currentRow();
    const int target = row + offset;
    if (row < 0 || target < 0 || target >= m_chosen->count()) {
        return;
    }
    m_chosen->insertItem(target, m_chosen->takeItem(row));
    m_chosen->setCurrentRow(target);
}

void ToolbarCustomizeDialog::restoreDefaults()
{
    setChosen(m_defaults);
}
