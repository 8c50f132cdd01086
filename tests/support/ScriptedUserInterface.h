#pragma once

#include "base/UserInterface.h"

#include <QList>
#include <QMutex>
#include <QQueue>

// A UserInterface for tests: answers come from queues the test fills, and every call is recorded.
// With its queue empty a call takes the safe way out: the Escape button of an alert (else the first),
// Cancel (else No) for a question, a cancelled panel, an error not dealt with.
class ScriptedUserInterface : public UserInterface
{
public:
    ScriptedUserInterface();
    ~ScriptedUserInterface() override;

    void queueAlertAnswer(int buttonIndex);
    void queueAnswer(Answer answer);
    void queueOpenPanelResult(const std::optional<QStringList>& paths);
    void queueSavePanelResult(const std::optional<QString>& path);
    void queuePresentErrorResult(bool dealtWith);
    // Queued answers not used yet (a test usually expects 0 at its end).
    int pendingAnswers() const;
    // Calls that found their queue empty and took the default.
    int unscriptedCalls() const;

    // Every call in order, one line each: "alert: <title>", "question: <title>", "open panel",
    // "save panel", "error: <description>", "progress start: <message>", "progress stop",
    // "clipboard: <text>" (or "clipboard (sensitive): <text>").
    QStringList calls() const;
    QList<Alert> alerts() const;
    QList<Question> questions() const;
    QList<OpenPanelOptions> openPanels() const;
    QList<SavePanelOptions> savePanels() const;
    QList<PresentableError> errors() const;
    QString clipboardText() const;
    bool clipboardIsSensitive() const;

    int runAlert(const Alert& alert) override;
    Answer ask(const Question& question) override;
    std::optional<QStringList> runOpenPanel(const OpenPanelOptions& options) override;
    std::optional<QString> runSavePanel(const SavePanelOptions& options) override;
    bool presentError(const PresentableError& error) override;
    void startProgress(const QString& message) override;
    void stopProgress() override;
    bool isProgressShown() const override;
    void setClipboardText(const QString& text, bool sensitive) override;

private:
    mutable QMutex m_mutex;
    QQueue<int> m_alertAnswers;
    QQueue<Answer> m_answers;
    QQueue<std::optional<QStringList>> m_openResults;
    QQueue<std::optional<QString>> m_saveResults;
    QQueue<bool> m_errorResults;
    int m_unscripted = 0;

    QStringList m_calls;
    QList<Alert> m_alerts;
    QList<Question> m_questions;
    QList<OpenPanelOptions> m_openPanels;
    QList<SavePanelOptions> m_savePanels;
    QList<PresentableError> m_errors;
    bool m_progressShown = false;
    QString m_clipboardText;
    bool m_clipboardSensitive = false;
};
