#include "CurrencyListPane.h"

#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ProductEntity.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* name, const QString& key, QWidget* parent)
{
    auto* pushButton = new QPushButton(localizedString(key), parent);
    pushButton->setObjectName(QString::fromLatin1(name));
    return pushButton;
}

} // namespace

CurrencyListPane::CurrencyListPane(KeymoorAppDelegate* delegate, QWidget* parent)
    : QWidget(parent)
    , m_delegate(delegate)
{
    setObjectName(QStringLiteral("currencyList"));
    buildLayout();
    reload();
}

CurrencyListPane::~CurrencyListPane() = default;

CurrencyPaneList CurrencyListPane::list() const
{
    return CurrencyPaneList(m_delegate ? m_delegate->managedObjectContext() : nullptr);
}

void CurrencyListPane::buildLayout()
{
    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("currencyTable"));
    m_table->setAccessibleName(localizedString(QStringLiteral("CurrencyListAccessibleName")));
    m_table->setHorizontalHeaderLabels({localizedString(QStringLiteral("CurrencySymbolColumn")),
                                        localizedString(QStringLiteral("CurrencyCodeColumn"))});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setMinimumHeight(140);
    connect(m_table, &QTableWidget::cellChanged, this, &CurrencyListPane::codeEdited);

    m_symbol = new QLineEdit(this);
    m_symbol->setObjectName(QStringLiteral("currencyNewSymbol"));
    m_symbol->setPlaceholderText(localizedString(QStringLiteral("CurrencySymbolPlaceholder")));
    m_symbol->setAccessibleName(m_symbol->placeholderText());
    m_code = new QLineEdit(this);
    m_code->setObjectName(QStringLiteral("currencyNewCode"));
    m_code->setPlaceholderText(localizedString(QStringLiteral("CurrencyCodePlaceholder")));
    m_code->setAccessibleName(m_code->placeholderText());
    m_code->setMaxLength(3);
    connect(m_symbol, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_code->setText(list().guessedCode(text)); });

    auto* add = button("currencyAdd", QStringLiteral("CurrencyAddButton"), this);
    auto* remove = button("currencyRemove", QStringLiteral("CurrencyRemoveButton"), this);
    auto* up = button("currencyUp", QStringLiteral("CurrencyMoveUpButton"), this);
    auto* down = button("currencyDown", QStringLiteral("CurrencyMoveDownButton"), this);
    connect(add, &QPushButton::clicked, this, &CurrencyListPane::addTyped);
    connect(m_symbol, &QLineEdit::returnPressed, this, &CurrencyListPane::addTyped);
    connect(remove, &QPushButton::clicked, this, &CurrencyListPane::removeChosen);
    connect(up, &QPushButton::clicked, this, [this] { moveChosen(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveChosen(1); });

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("currencyMessage"));
    m_message->setWordWrap(true);

    auto* adding = new QHBoxLayout;
    adding->addWidget(m_symbol);
    adding->addWidget(m_code);
    adding->addWidget(add);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    layout->addLayout(adding);
    layout->addWidget(m_message);
}

void CurrencyListPane::reload()
{
    m_loading = true;
    const QList<CurrencyPaneList::Currency> currencies = list().currencies();
    m_table->setRowCount(int(currencies.size()));
    for (int row = 0; row < currencies.size(); ++row) {
        auto* symbol = new QTableWidgetItem(currencies.at(row).symbol);
        symbol->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_table->setItem(row, 0, symbol);
        m_table->setItem(row, 1, new QTableWidgetItem(currencies.at(row).code));
    }
    m_loading = false;
}

void CurrencyListPane::finish(bool done, const QString& error, int chosenRow)
{
    reload();
    m_message->setText(done ? QString() : error);
    if (chosenRow >= 0 && chosenRow < m_table->rowCount()) {
        m_table->selectRow(chosenRow);
    }
}

void CurrencyListPane::addTyped()
{
    QString error;
    const bool done = list().add(m_symbol->text(), m_code->text(), &error);
    if (done) {
        m_symbol->clear();
    }
    finish(done, error, done ? m_table->rowCount() : -1);
}

void CurrencyListPane::removeChosen()
{
    const int row = m_table->currentRow();
    QString error;
    const bool done = list().remove(row, &error);
    finish(done, error, done ? row - 1 : row);
}

void CurrencyListPane::moveChosen(int offset)
{
    const int row = m_table->currentRow();
    QString error;
    const bool done = list().move(row, offset, &error);
    finish(done, error, done ? row + offset : row);
}

void CurrencyListPane::codeEdited(int row, int column)
{
    if (m_loading || column != 1) {
        return;
    }
    QString error;
    QTableWidgetItem* item = m_table->item(row, column);
    const bool done = list().setCode(row, item->text(), &error);
    m_message->setText(done ? QString() : error);
    // The cell shows what is stored: the code in capitals, or the old one after a refusal. The
    // item is edited rather than replaced, since the table is still inside its own edit here.
    m_loading = true;
    item->setText(list().currencies().value(row).code);
    m_loading = false;
}
