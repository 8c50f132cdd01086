#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Persistence {
class ObjectContext;
class UndoManager;
} // namespace Persistence

// The names of the undo steps the window makes ("Typing in Title", "Delete 3 Products") and the
// titles of Edit > Undo and Redo built from them.
class UndoNaming
{
public:
    // "Undo <name>", or plain "Undo" when the next step has no name or there is none.
    static QString undoTitle(const Persistence::UndoManager* undo);
    static QString redoTitle(const Persistence::UndoManager* undo);

    // Runs `command` as one undo step with this name. A command that changes nothing leaves no
    // step (and the name goes with it).
    static void runNamed(Persistence::ObjectContext* context, const QString& name,
                         const std::function<void()>& command);
    // Names the step being made by a runNamed() command, or else the step just made unless it has
    // a name already.
    static void name(Persistence::ObjectContext* context, const QString& name);

    // "Typing in <label>" for an edit of the field `editor`, after the label of its form row (or of
    // the check box itself); a plain "Edit" when it has none.
    static QString typingIn(const QWidget* editor);
    static QString newProduct();
    static QString deleteProducts(int count);
    static QString importProducts(int count);
    static QString changeIcon();
    static QString removeIcon();
    static QString refreshFromApplication();
    static QString attachFiles();
    static QString removeAttachments(int count);
};
