#include "TerminalUserInterface.h"

#include <QTextStream>

namespace {

QString prefixForStyle(AlertStyle style)
{
    switch (style) {
    case AlertStyle::Informational:
        return QStringLiteral("keymoor: ");
    case AlertStyle::Warning:
        return QStringLiteral("keymoor: warning: ");
    case AlertStyle::Critical:
        return QStringLiteral("keymoor: error: ");
    }
    return QStringLiteral("keymoor: ");
}

} // namespace

TerminalUserInterface::TerminalUserInterface(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{ }

TerminalUserInterface::~TerminalUserInterface() = default;

void TerminalUserInterface::setAnswer(Answer answer)
{
    m_answer = answer;
}

void TerminalUserInterface::writeMessage(const QString& prefix, const QString& title, const QString& message)
{
    m_err << prefix;
    if (!title.isEmpty()) {
        m_err << title;
        if (!message.isEmpty()) {
            m_err << '\n';
        }
    }
    if (!message.isEmpty()) {
        m_err << message;
    }
    m_err << Qt::endl;
}

int TerminalUserInterface::runAlert(const Alert& alert)
{
    writeMessage(prefixForStyle(alert.style), alert.title, alert.message);
    const int count = static_cast<int>(alert.buttons.size());
    if (count <= 1) {
        return 0;
    }
    const bool hasEscape = alert.escapeButton >= 0 && alert.escapeButton < count;
    const Answer answer = m_answer.value_or(hasEscape ? Answer::Cancel : Answer::No);
    int chosen = 0;
    switch (answer) {
    case Answer::Yes:
        chosen = 0;
        break;
    case Answer::No:
        chosen = 1;
        break;
    case Answer::Cancel:
        chosen = hasEscape ? alert.escapeButton : count - 1;
        break;
    }
    m_err << "keymoor: answered \"" << alert.buttons.at(chosen) << '"' << Qt::endl;
    return chosen;
}

Answer TerminalUserInterface::ask(const Question& question)
{
    writeMessage(prefixForStyle(question.style), question.title, question.message);
    Answer answer = m_answer.value_or(question.cancelButton.isEmpty() ? Answer::No : Answer::Cancel);
    if (answer == Answer::Cancel && question.cancelButton.isEmpty()) {
        answer = Answer::No;
    }
    if (!m_answer && m_in) {
        m_err << "keymoor: " << question.yesButton << "? [y/N] " << Qt::flush;
        const QString typed = m_in->readLine().trimmed().toLower();
        if (typed == u"y" || typed == u"yes") {
            answer = Answer::Yes;
        }
    }
    const QString& button = answer == Answer::Yes ? question.yesButton
        : answer == Answer::No                    ? question.noButton
                                                  : question.cancelButton;
    if (!button.isEmpty()) {
        m_err << "keymoor: answered \"" << button << '"' << Qt::endl;
    }
    return answer;
}

std::optional<QStringList> TerminalUserInterface::runOpenPanel(const OpenPanelOptions& options)
{
    m_err << "keymoor: " << (options.title.isEmpty() ? QStringLiteral("choosing a file") : options.title)
          << ": not available on the command line; give the path as an argument" << Qt::endl;
    return std::nullopt;
}

std::optional<QString> TerminalUserInterface::runSavePanel(const SavePanelOptions& options)
{
    m_err << "keymoor: " << (options.title.isEmpty() ? QStringLiteral("choosing where to save") : options.title)
          << ": not available on the command line; give the path as an argument" << Qt::endl;
    return std::nullopt;
}

bool TerminalUserInterface::presentError(const PresentableError& error)
{
    writeMessage(QStringLiteral("keymoor: error: "), error.description, error.recoverySuggestion);
    if (!error.details.isEmpty()) {
        m_err << "keymoor: details: " << error.details << Qt::endl;
    }
    return false;
}

void TerminalUserInterface::startProgress(const QString& message)
{
    if (m_progressShown && message == m_progressMessage) {
        return;
    }
    m_progressShown = true;
    m_progressMessage = message;
    m_err << message << Qt::endl;
}

void TerminalUserInterface::stopProgress()
{
    m_progressShown = false;
    m_progressMessage.clear();
}

bool TerminalUserInterface::isProgressShown() const
{
    return m_progressShown;
}

void TerminalUserInterface::setClipboardText(const QString& text, bool sensitive)
{
    Q_UNUSED(sensitive);
    m_out << text << Qt::endl;
}
