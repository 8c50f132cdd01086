#pragma once

#include <QTableView>

#include <functional>

class QMenu;

// A list of rows with the keys and clicks of Keymoor's lists:
// - Delete, forward delete and Backspace ask for the selection to be removed (deleteKeyPressed);
// - the up and down arrows select only the row above or below and scroll to it, doing nothing at
//   the ends (they never extend the selection);
// - a right click on a row outside the selection makes it the only selected row, then the context
//   menu opens with the items the owner puts in (none: no menu).
class ZRTableView : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZRTableView)

public:
    using ContextMenuFiller = std::function<void(QMenu*)>;

    explicit ZRTableView(QWidget* parent = nullptr);
    ~ZRTableView() override;

    void setContextMenuFiller(ContextMenuFiller filler) { m_fillContextMenu = std::move(filler); }
    // The menu a right click would show now (for the owner's tests); empty without a filler.
    void fillContextMenu(QMenu* menu) const;
    // The selected row the arrows move from: the current row when selected, else the last selected.
    int selectedRow() const;

signals:
    // `row` is the selected row, -1 without a selection.
    void deleteKeyPressed(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void selectOnly(int row);

    ContextMenuFiller m_fillContextMenu;
};
