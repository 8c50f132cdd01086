#include "EditMenuActions.h"

#include "FocusedTextField.h"
#include "base/Localization.h"
#include "model/ProductEntity.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMenu>
#include <QWidget>

EditMenuActions::EditMenuActions(QWidget* window, QAbstractItemView* productList, ProductsProvider selection)
    : QObject(window)
    , m_window(window)
    , m_list(productList)
    , m_selection(std::move(selection))
{
    m_cut = makeAction(QStringLiteral("MainCutMenuItem"), QStringLiteral("cutAction"), QKeySequence::Cut, Command::Cut);
    m_copy = makeAction(QStringLiteral("MainCopyMenuItem"), QStringLiteral("copyAction"), QKeySequence::Copy,
                        Command::Copy);
    m_paste = makeAction(QStringLiteral("MainPasteMenuItem"), QStringLiteral("pasteAction"), QKeySequence::Paste,
                         Command::Paste);
    m_selectAll = makeAction(QStringLiteral("MainSelectAllMenuItem"), QStringLiteral("selectAllAction"),
                             QKeySequence::SelectAll, Command::SelectAll);
    connect(qApp, &QApplication::focusChanged, this, &EditMenuActions::update);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &EditMenuActions::update);
    if (m_list && m_list->selectionModel()) {
        connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &EditMenuActions::update);
    }
    update();
}

QAction* EditMenuActions::makeAction(const QString& textKey, const QString& objectName,
                                     QKeySequence::StandardKey standardKey, Command command)
{
    auto* action = new QAction(localizedString(textKey), m_window);
    action->setObjectName(objectName);
    action->setShortcuts(standardKey);
    connect(action, &QAction::triggered, this, [this, command] { run(command); });
    return action;
}

void EditMenuActions::addTo(QMenu* menu)
{
    menu->addSeparator();
    menu->addAction(m_cut);
    menu->addAction(m_copy);
    menu->addAction(m_paste);
    menu->addSeparator();
    menu->addAction(m_selectAll);
    connect(menu, &QMenu::aboutToShow, this, &EditMenuActions::update);
}

bool EditMenuActions::listFocused() const
{
    const QWidget* focused = m_window->focusWidget();
    return m_list && focused && (focused == m_list || m_list->isAncestorOf(focused));
}

void EditMenuActions::update()
{
    if (listFocused()) {
        const bool selected = m_list->selectionModel() && m_list->selectionModel()->hasSelection();
        m_cut->setEnabled(false);
        m_copy->setEnabled(selected);
        m_paste->setEnabled(false);
        m_selectAll->setEnabled(m_list->model() && m_list->model()->rowCount() > 0);
        return;
    }
    const FocusedTextField field(m_window->focusWidget());
    m_cut->setEnabled(field.canCut());
    m_copy->setEnabled(field.canCopy());
    m_paste->setEnabled(field.canPaste());
    m_selectAll->setEnabled(field.canSelectAll());
}

void EditMenuActions::run(Command command)
{
    if (listFocused()) {
        if (command == Command::SelectAll) {
            m_list->selectAll();
        } else if (command == Command::Copy) {
            copyProducts();
        }
        return;
    }
    FocusedTextField field(m_window->focusWidget());
    switch (command) {
    case Command::Cut:
        field.cut();
        break;
    case Command::Copy:
        field.copy();
        break;
    case Command::Paste:
        field.paste();
        break;
    case Command::SelectAll:
        field.selectAll();
        break;
    }
    update();
}

void EditMenuActions::copyProducts()
{
    const QList<ProductEntity*> products = m_selection ? m_selection() : QList<ProductEntity*>();
    if (products.isEmpty()) {
        return;
    }
    QApplication::clipboard()->setText(productsAsText(products));
    emit statusMessage(products.size() == 1 ? localizedString(QStringLiteral("StatusCopiedProduct"))
                                            : localizedFormat(QStringLiteral("StatusCopiedProductsFormat"),
                                                              {QString::number(products.size())}));
}

QString EditMenuActions::productsAsText(const QList<ProductEntity*>& products)
{
    QString text;
    for (const ProductEntity* product : products) {
        QString serial = product->serialNumber().trimmed();
        serial.replace(QLatin1String("\r\n"), QLatin1String(" "));
        serial.replace(QLatin1Char('\n'), QLatin1Char(' '));
        serial.replace(QLatin1Char('\r'), QLatin1Char(' '));
        serial.replace(QLatin1Char('\t'), QLatin1Char(' '));
        QString title = product->title();
        title.replace(QLatin1Char('\t'), QLatin1Char(' '));
        text += title + QLatin1Char('\t') + serial + QLatin1Char('\n');
    }
    return text;
}
