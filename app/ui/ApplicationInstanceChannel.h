#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

// Lets a Keymoor that is started with files while another Keymoor window already runs on the same
// library hand the files to that window instead of opening a second, read-only one. The running
// window listens on a local socket that only its user may reach; the new process connects, sends
// the absolute paths and quits once they were received.
class ApplicationInstanceChannel : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ApplicationInstanceChannel)

public:
    explicit ApplicationInstanceChannel(QObject* parent = nullptr);
    ~ApplicationInstanceChannel() override;

    // The channel's name for a library folder: one per user and library.
    static QString nameForLibrary(const QString& libraryPath);

    // Hands the paths (none: just bring the window forward) to the window listening on `name`.
    // False when no window answers within the time limit.
    static bool deliver(const QString& name, const QStringList& paths, int timeoutMs = 3000);

    // Starts listening; a socket left behind by a Keymoor that ended abnormally is replaced.
    bool listen(const QString& name);
    bool isListening() const;

signals:
    // Another process handed over paths (possibly none: it asked for the window only).
    void filesReceived(const QStringList& paths);

private:
    void readConnection();

    QLocalServer* m_server;
};
