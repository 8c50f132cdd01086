#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace Persistence {

// Undo and redo stacks of action groups. An action registered while undoing goes to the redo
// stack, one registered while redoing to the undo stack: each action registers its own inverse,
// so redo needs nothing extra. Changes made while registration is disabled are not undoable.
// A group may carry a name for the menu ("Typing in Title"); it moves with the group between the
// stacks.
class UndoManager
{
public:
    using Action = std::function<void()>;

    void beginGroup();
    void endGroup();
    int groupingLevel() const { return m_level; }

    void registerAction(Action action);

    // Names the group being built; with none open, the newest group on the undo stack. The last
    // name set wins, so a command may name its group once it knows what it did.
    void setActionName(const QString& name);
    // The name of the group undo() or redo() would run; empty when it has none or there is none.
    QString undoActionName() const { return m_undo.empty() ? QString() : m_undo.back().name; }
    QString redoActionName() const { return m_redo.empty() ? QString() : m_redo.back().name; }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void undo();
    void redo();
    void removeAllActions();

    // Nested: registration is on again after as many enables as disables.
    void disableRegistration() { ++m_disabled; }
    void enableRegistration();
    bool isRegistrationEnabled() const { return m_disabled == 0; }

private:
    struct Group
    {
        std::vector<Action> actions;
        QString name;
    };
    enum class Mode { Normal, Undoing, Redoing };

    void run(std::vector<Group>& from, Mode mode);

    std::vector<Group> m_undo;
    std::vector<Group> m_redo;
    Group m_open;
    int m_level = 0;
    int m_disabled = 0;
    Mode m_mode = Mode::Normal;
};

// Everything done between construction and destruction is one undo step, named when a name is
// given. Nothing happens without an undo manager.
class UndoGroup
{
public:
    explicit UndoGroup(UndoManager* undo, const QString& name = QString())
        : m_undo(undo)
    {
        if (m_undo) {
            m_undo->beginGroup();
            if (!name.isEmpty()) {
                m_undo->setActionName(name);
            }
        }
    }
    ~UndoGroup()
    {
        if (m_undo) {
            m_undo->endGroup();
        }
    }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    UndoManager* m_undo;
};

} // namespace Persistence
