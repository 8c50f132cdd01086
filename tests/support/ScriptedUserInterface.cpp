#include "ScriptedUserInterface.h"

#include <QMutexLocker>

ScriptedUserInterface::ScriptedUserInterface() = default;
ScriptedUserInterface::~ScriptedUserInterface() = default;

void ScriptedUserInterface::queueAlertAnswer(int buttonIndex)
{
    QMutexLocker locker(&m_mutex);
    m_alertAnswers.enqueue(buttonIndex);
}

void ScriptedUserInterface::queueAnswer(Answer answer)
{
    QMutexLocker locker(&m_mutex);
    m_answers.enqueue(answer);
}

void ScriptedUserInterface::queueOpenPanelResult(const std::optional<QStringList>& paths)
{
    QMutexLocker locker(&m_mutex);
    m_openResults.enqueue(paths);
}

void ScriptedUserInterface::queueSavePanelResult(const std::optional<QString>& path)
{
    QMutexLocker locker(&m_mutex);
    m_saveResults.enqueue(path);
}

void ScriptedUserInterface::queuePresentErrorResult(bool dealtWith)
{
    QMutexLocker locker(&m_mutex);
    m_errorResults.enqueue(dealtWith);
}

int ScriptedUserInterface::pendingAnswers() const
{
    QMutexLocker locker(&m_mutex);
    return static_cast<int>(m_alertAnswers.size() + m_answers.size() + m_openResults.size() + m_saveResults.size()
                            + m_errorResults.size());
}

int ScriptedUserInterface::unscriptedCalls() const
{
    QMutexLocker locker(&m_mutex);
    return m_unscripted;
}

QStringList ScriptedUserInterface::calls() const
{
    QMutexLocker locker(&m_mutex);
    return m_calls;
}

QList<Alert> ScriptedUserInterface::alerts() const
{
    QMutexLocker locker(&m_mutex);
    return m_alerts;
}

QList<Question> ScriptedUserInterface::questions() const
{
    QMutexLocker locker(&m_mutex);
    return m_questions;
}

QList<OpenPanelOptions> ScriptedUserInterface::openPanels() const
{
    QMutexLocker locker(&m_mutex);
    return m_openPanels;
}

QList<SavePanelOptions> ScriptedUserInterface::savePanels() const
{
    QMutexLocker locker(&m_mutex);
    return m_savePanels;
}

QList<PresentableError> ScriptedUserInterface::errors() const
{
    QMutexLocker locker(&m_mutex);
    return m_errors;
}

QString ScriptedUserInterface::clipboardText() const
{
    QMutexLocker locker(&m_mutex);
    return m_clipboardText;
}

bool ScriptedUserInterface::clipboardIsSensitive() const
{
    QMutexLocker locker(&m_mutex);
    return m_clipboardSensitive;
}

int ScriptedUserInterface::runAlert(const Alert& alert)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("alert: ") + alert.title);
    m_alerts.append(alert);
    if (!m_alertAnswers.isEmpty()) {
        return m_alertAnswers.dequeue();
    }
    ++m_unscripted;
    return alert.escapeButton >= 0 ? alert.escapeButton : 0;
}

Answer ScriptedUserInterface::ask(const Question& question)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("question: ") + question.title);
    m_questions.append(question);
    if (!m_answers.isEmpty()) {
        return m_answers.dequeue();
    }
    ++m_unscripted;
    return question.cancelButton.isEmpty() ? Answer::No : Answer::Cancel;
}

std::optional<QStringList> ScriptedUserInterface::runOpenPanel(const OpenPanelOptions& options)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("open panel"));
    m_openPanels.append(options);
    if (!m_openResults.isEmpty()) {
        return m_openResults.dequeue();
    }
    ++m_unscripted;
    return std::nullopt;
}

std::optional<QString> ScriptedUserInterface::runSavePanel(const SavePanelOptions& options)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("save panel"));
    m_savePanels.append(options);
    if (!m_saveResults.isEmpty()) {
        return m_saveResults.dequeue();
    }
    ++m_unscripted;
    return std::nullopt;
}

bool ScriptedUserInterface::presentError(const PresentableError& error)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("error: ") + error.description);
    m_errors.append(error);
    if (!m_errorResults.isEmpty()) {
        return m_errorResults.dequeue();
    }
    ++m_unscripted;
    return false;
}

void ScriptedUserInterface::startProgress(const QString& message)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("progress start: ") + message);
    m_progressShown = true;
}

void ScriptedUserInterface::stopProgress()
{
    QMutexLocker locker(&m_mutex);
    m_calls.append(QStringLiteral("progress stop"));
    m_progressShown = false;
}

bool ScriptedUserInterface::isProgressShown() const
{
    QMutexLocker locker(&m_mutex);
    return m_progressShown;
}

void ScriptedUserInterface::setClipboardText(const QString& text, bool sensitive)
{
    QMutexLocker locker(&m_mutex);
    m_calls.append((sensitive ? QStringLiteral("clipboard (sensitive): ") : QStringLiteral("clipboard: ")) + text);
    m_clipboardText = text;
    m_clipboardSensitive = sensitive;
}
