#pragma once

#include "base/UserInterface.h"

class QTextStream;

// The UserInterface of the command line, which never waits for the person: alerts and errors are
// written to the error stream, questions take the answer the command's flags configured (by default
// the one that changes nothing), file choosers answer "cancelled", the progress sheet is a line on
// the error stream, and "copying to the clipboard" writes the text to the output stream so it can be
// piped on.
class TerminalUserInterface : public UserInterface
{
public:
    TerminalUserInterface(QTextStream& out, QTextStream& err);
    ~TerminalUserInterface() override;

    // The answer to every question and to alerts with a choice. Yes picks an alert's first (default)
    // button, No its second, Cancel its Escape button. Unset: Cancel where possible, else No.
    void setAnswer(Answer answer);
    // Questions without a configured answer are asked on `in` (a terminal the person types at):
    // "y" or "yes" answers Yes, anything else the answer that changes nothing.
    void setInput(QTextStream* in) { m_in = in; }

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
    void writeMessage(const QString& prefix, const QString& title, const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
    std::optional<Answer> m_answer;
    QTextStream* m_in = nullptr;
    bool m_progressShown = false;
    QString m_progressMessage;
};
