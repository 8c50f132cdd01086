#pragma once

#include "import/ImportCounts.h"

#include <QObject>
#include <QPointer>

class KeymoorAppDelegate;

// Tells how the imports of the import sheet ended (delimited text, other programs' files and
// records), once the last of those running is done: "Imported 12 products, updated 3." or
// "Nothing was imported: …". What they added is read from the imports' tally, which is left as it
// is for whoever sums it.
class ImportFeedback : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImportFeedback)

public:
    ImportFeedback(KeymoorAppDelegate* delegate, QObject* parent);

    // The message for what a batch of imports did; `failed` when one of them reported an error.
    static QString message(const ImportCounts& counts, bool failed);

signals:
    void statusMessage(const QString& message);

private:
    void jobStarted(const QString& name);
    void jobFinished(const QString& name);
    int runningImports() const;
    ImportCounts tallySoFar() const;

    QPointer<KeymoorAppDelegate> m_delegate;
    ImportCounts m_before; // the tally when the batch started
    bool m_failed = false;
};
