#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <functional>

class ProductEntity;
class QAbstractItemView;
class QAction;
class QMenu;
class QWidget;

// Edit > Cut, Copy, Paste and Select All. They act on the window's focused text field (line edits,
// plain and rich text, the editors inside spin, date and combo boxes), or on the products list:
// there Select All selects every row and Copy puts the selected products on the clipboard as text.
// The text fields handle the keys themselves (they claim the standard shortcuts before the menu
// does), so a key press never reaches both.
class EditMenuActions : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditMenuActions)

public:
    using ProductsProvider = std::function<QList<ProductEntity*>()>;

    // `selection` answers the list's selected products in list order.
    EditMenuActions(QWidget* window, QAbstractItemView* productList, ProductsProvider selection);

    // Cut, Copy, Paste, then Select All, after a separator.
    void addTo(QMenu* menu);
    // Enables the items for the focused widget, its selection and the clipboard.
    void update();

    QAction* cutAction() const { return m_cut; }
    QAction* copyAction() const { return m_copy; }
    QAction* pasteAction() const { return m_paste; }
    QAction* selectAllAction() const { return m_selectAll; }

    // One line per product, "title<TAB>serial"; line breaks inside a serial become spaces.
    static QString productsAsText(const QList<ProductEntity*>& products);

signals:
    // What a command did, for the window's status bar.
    void statusMessage(const QString& message);

private:
    enum class Command { Cut, Copy, Paste, SelectAll };

    QAction* makeAction(const QString& textKey, const QString& objectName, QKeySequence::StandardKey standardKey,
                        Command command);
    void run(Command command);
    bool listFocused() const;
    void copyProducts();

    QWidget* m_window;
    QAbstractItemView* m_list;
    ProductsProvider m_selection;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_selectAll = nullptr;
};
