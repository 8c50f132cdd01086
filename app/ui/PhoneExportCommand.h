#pragma once

#include <QObject>
#include <QPointer>

class KeymoorAppDelegate;
class QAction;
class QProcess;
class QWidget;

// File > Export for Phone…: asks with PhoneExportDialog, saves the library and has "keymoor export
// html" write Keymoor.html into the chosen folder in a process of its own, so deriving the key
// (600,000 rounds) and writing a large catalogue never hold up the window. The passphrase goes to
// the process on its standard input, never through a file or its arguments.
class PhoneExportCommand : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneExportCommand)

public:
    PhoneExportCommand(KeymoorAppDelegate* delegate, QWidget* window);
    ~PhoneExportCommand() override;

    QAction* action() const { return m_action; }
    // Starts the export (also callable by tests); false when it could not start.
    bool start(const QString& folder, const QByteArray& passphrase);

signals:
    // The export ended; `error` is empty when the page was written.
    void finished(const QString& error);

private:
    void ask();
    void processEnded();

    QPointer<KeymoorAppDelegate> m_delegate;
    QWidget* m_window;
    QAction* m_action;
    QProcess* m_process = nullptr;
    QString m_target;
};
