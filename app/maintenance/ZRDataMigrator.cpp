#include "ZRDataMigrator.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"

#include <QCoreApplication>
#include <QThread>

ZRDataMigrator::ZRDataMigrator(KeymoorAppDelegate* delegate, QObject* parent)
    : QObject(parent)
    , m_delegate(delegate)
{ }

ZRDataMigrator::~ZRDataMigrator() = default;

void ZRDataMigrator::onMainThread(const std::function<void()>& work, bool wait) const
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    // The delegate lives on the main thread; a late call after it is gone is dropped.
    QObject* target = m_delegate ? static_cast<QObject*>(m_delegate) : static_cast<QObject*>(application);
    QMetaObject::invokeMethod(target, work, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

int ZRDataMigrator::runAlert(const Alert& alert) const
{
    int answer = 0;
    UserInterface* ui = m_delegate ? m_delegate->userInterface() : nullptr;
    if (!ui) {
        Log::write(QStringLiteral("%1 %2").arg(alert.title, alert.message));
        return answer;
    }
    onMainThread([&] { answer = ui->runAlert(alert); });
    return answer;
}

void ZRDataMigrator::alert(const QString& titleKey, const QString& messageText, bool critical) const
{
    Alert alert;
    alert.style = critical ? AlertStyle::Critical : AlertStyle::Warning;
    alert.title = localizedString(titleKey);
    alert.message = messageText;
    alert.buttons = {localizedString(QStringLiteral("OKButton"))};
    runAlert(alert);
}

void ZRDataMigrator::requestTermination()
{
    Log::write(QStringLiteral("Terminate!"));
    if (m_delegate) {
        onMainThread([this] { m_delegate->requestTermination(); }, false);
    }
}

// ---- Delimiter options ----

void ZRDataMigrator::setDelimiterChoice(Delimiter choice, bool on)
{
    if (on) {
        m_delimiterChoice = choice;
    } else if (m_delimiterChoice == choice) {
        // Turning one option off turns the others on; the first of them takes the choice.
        m_delimiterChoice = choice == Delimiter::Comma ? Delimiter::Tab : Delimiter::Comma;
    }
}

void ZRDataMigrator::setExportAsCommaSeparated(bool on)
{
    setDelimiterChoice(Delimiter::Comma, on);
}

void ZRDataMigrator::setExportAsTabDelimited(bool on)
{
    setDelimiterChoice(Delimiter::Tab, on);
}

void ZRDataMigrator::setExportWithCustomDelimiter(bool on)
{
    setDelimiterChoice(Delimiter::Custom, on);
}

QString ZRDataMigrator::delimiter() const
{
    switch (m_delimiterChoice) {
    case Delimiter::Comma:
        return QStringLiteral(",");
    case Delimiter::Tab:
        return QStringLiteral("\t");
    case Delimiter::Custom:
        break;
    }
    return m_customDelimiter;
}

// ---- Progress ----

void ZRDataMigrator::showProgressPanel(const QString& message)
{
    for (QAtomicInt& value : m_counters) {
        value.storeRelaxed(0);
    }
    if (m_progress) {
        onMainThread([this, message] { m_progress->show(message); });
    }
}

void ZRDataMigrator::resetProgressIndicatorWithMax(int maximum)
{
    m_barMaximum = maximum == 0 ? 50 : maximum;
    m_barValue.storeRelaxed(0);
    if (m_progress) {
        onMainThread([this, maximum] { m_progress->resetBar(maximum); });
    }
}

void ZRDataMigrator::incrementProgressIndicator()
{
    m_barValue.fetchAndAddRelaxed(1);
    if (m_progress) {
        onMainThread([this] { m_progress->stepBar(); });
    }
}

void ZRDataMigrator::incrementProgressIndicatorWithMessage(const QString& message)
{
    setProgressMessageString(message);
    incrementProgressIndicator();
}

void ZRDataMigrator::setProgressMessageString(const QString& message)
{
    if (m_progress) {
        onMainThread([this, message] { m_progress->setMessage(message); });
    }
}

void ZRDataMigrator::bumpCounter(MigrationProgress::Counter which)
{
    const int value = m_counters[int(which)].fetchAndAddRelaxed(1) + 1;
    if (m_progress) {
        onMainThread([this, which, value] { m_progress->setCounter(which, value); });
    }
}

void ZRDataMigrator::incrementProgressProductCount()
{
    bumpCounter(MigrationProgress::Counter::Products);
}

void ZRDataMigrator::incrementProgressAttachmentCount()
{
    bumpCounter(MigrationProgress::Counter::Attachments);
}

void ZRDataMigrator::incrementProgressProductFailedCount()
{
    bumpCounter(MigrationProgress::Counter::FailedProducts);
}

void ZRDataMigrator::incrementProgressAttachmentFailedCount()
{
    bumpCounter(MigrationProgress::Counter::FailedAttachments);
}

void ZRDataMigrator::resetProgressCounters()
{
    for (QAtomicInt& value : m_counters) {
        value.storeRelaxed(0);
    }
    if (m_progress) {
        onMainThread([this] { m_progress->resetCounters(); });
    }
}

void ZRDataMigrator::endProgressSheet()
{
    if (m_progress) {
        onMainThread([this] { m_progress->hide(); }, false);
    }
}

int ZRDataMigrator::counter(MigrationProgress::Counter which) const
{
    return m_counters[int(which)].loadRelaxed();
}
