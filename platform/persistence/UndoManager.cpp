#include "UndoManager.h"

namespace Persistence {

void UndoManager::beginGroup()
{
    ++m_level;
}

void UndoManager::endGroup()
{
    if (m_level == 0) {
        return;
    }
    if (--m_level > 0) {
        return;
    }
    if (!m_open.actions.empty()) {
        auto& target = m_mode == Mode::Undoing ? m_redo : m_undo;
        target.push_back(std::move(m_open));
    }
    m_open = Group();
}

void UndoManager::setActionName(const QString& name)
{
    if (m_level > 0) {
        m_open.name = name;
    } else if (!m_undo.empty()) {
        m_undo.back().name = name;
    }
}

void UndoManager::registerAction(Action action)
{
    if (m_disabled > 0) {
        return;
    }
    if (m_mode == Mode::Normal) {
        m_redo.clear();
    }
    const bool implicit = m_level == 0;
    if (implicit) {
        beginGroup();
    }
    m_open.actions.push_back(std::move(action));
    if (implicit) {
        endGroup();
    }
}

void UndoManager::enableRegistration()
{
    if (m_disabled > 0) {
        --m_disabled;
    }
}

void UndoManager::undo()
{
    run(m_undo, Mode::Undoing);
}

void UndoManager::redo()
{
    run(m_redo, Mode::Redoing);
}

void UndoManager::run(std::vector<Group>& from, Mode mode)
{
    if (from.empty() || m_mode != Mode::Normal) {
        return;
    }
    // A group still open belongs to the change in progress; close it first.
    while (m_level > 0) {
        endGroup();
    }
    Group group = std::move(from.back());
    from.pop_back();
    m_mode = mode;
    beginGroup();
    m_open.name = group.name; // the inverse is the same action, seen from the other stack
    for (auto it = group.actions.rbegin(); it != group.actions.rend(); ++it) {
        (*it)();
    }
    endGroup();
    m_mode = Mode::Normal;
}

void UndoManager::removeAllActions()
{
    m_undo.clear();
    m_redo.clear();
    m_open = Group();
}

} // namespace Persistence
