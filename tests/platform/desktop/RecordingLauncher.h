#pragma once

#include "desktop/DesktopLauncher.h"

#include <QList>
#include <QUrl>

// A launcher that opens nothing: it records what it was asked to open or show, and answers as
// the test tells it.
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

    bool opensSucceed = true;
    bool fileManagerPresent = true;
    QList<QUrl> opened;
    QList<QList<QUrl>> shown;
};
