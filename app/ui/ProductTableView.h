#pragma once

#include "MailDrop.h"
#include "ZRTableView.h"

#include <QStringList>

class QMimeData;

// The products list of the main window. Files dropped on it are handed on for import (Keymoor's own
// data files, MacHeist 3 data files, installed software and Yojimbo exports). Only the first
// dropped path is looked at to decide whether the drop is taken: it must be importable software (a
// bundle, a desktop entry, an AppImage) or end in ".keymoor" or ".appshelf" (any case).
class ProductTableView : public ZRTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductTableView)

public:
    explicit ProductTableView(QWidget* parent = nullptr);
    ~ProductTableView() override;

    // Whether a drop of this data would be taken.
    static bool acceptsDrop(const QMimeData* data);
    // Takes the drop: emits filesDropped with its local paths. False when the drop is refused.
    bool acceptDrop(const QMimeData* data);

signals:
    void filesDropped(const QStringList& paths);
    void mailDropped(const MailDrop& mail);
    // Return or Enter pressed with a product selected: open its first attachment.
    void openRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The decision of the drag in progress: made once when it enters, since looking at a file can
    // mean reading it.
    bool m_dragAccepted = false;
};
