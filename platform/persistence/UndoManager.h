#pragma once

#include <functional>
#include <vector>

namespace Persistence {

// Undo and redo stacks of action groups. An action registered while undoing goes to the redo
// stack, one registered while redoing to the undo stack: each action registers its own inverse,
// so redo needs nothing extra. Changes made while registration is disabled are not undoable.
class UndoManager
{
public:
    using Action = std::function<void()>;

    void beginGroup();
    void endGroup();
    int groupingLevel() const { return m_level; }

    void registerAction(Action action);

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
    using Group = std::vector<Action>;
    enum class Mode { Normal, Undoing, Redoing };

    void run(std::vector<Group>& from, Mode mode);

    std::vector<Group> m_undo;
    std::vector<Group> m_redo;
    Group m_open;
    int m_level = 0;
    int m_disabled = 0;
    Mode m_mode = Mode::Normal;
};

} // namespace Persistence
