#pragma once

#include "desktop/DesktopLauncher.h"
#include "software/DesktopApplication.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>

// A launcher that opens and starts nothing: it records what it was asked to open, show or start,
// and answers as the test tells it.
class RecordingLauncher final : public DesktopLauncher
{
public:
    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return opensSucceed;
    }

    bool showItems(const QList<QUrl>& files) override
    {
        shown.append(files);
        return fileManagerPresent;
    }

    bool launchApplication(const DesktopApplication& application, QString* error) override
    {
        launched.append(application);
        return answerStart(error);
    }

    bool runProgram(const QString& program, const QStringList& arguments, QString* error) override
    {
        programs.append({program, arguments});
        return answerStart(error);
    }

    bool opensSucceed = true;
    bool fileManagerPresent = true;
    QString startError; // when set, starting fails with this text
    QList<QUrl> opened;
    QList<QList<QUrl>> shown;
    QList<DesktopApplication> launched;
    QList<QPair<QString, QStringList>> programs;

private:
    bool answerStart(QString* error) const
    {
        if (!startError.isEmpty() && error) {
            *error = startError;
        }
        return startError.isEmpty();
    }
};
