#include "maintenance/MigrationReporter.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"

#include <QCoreApplication>
#include <QThread>

MigrationReporter::MigrationReporter(QObject* mainThreadTarget, UserInterface* ui)
    : m_mainThreadTarget(mainThreadTarget)
    , m_ui(ui)
{ }

void MigrationReporter::onMainThread(const std::function<void()>& work, bool wait) const
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    // The target lives on the main thread; a late call after it is gone is dropped.
    QObject* target = m_mainThreadTarget ? m_mainThreadTarget : static_cast<QObject*>(application);
    QMetaObject::invokeMethod(target, work, wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

int MigrationReporter::runAlert(const Alert& alert) const
{
    int answer = 0;
    if (!m_ui) {
        Log::write(QStringLiteral("%1 %2").arg(alert.title, alert.message));
        return answer;
    }
    onMainThread([&] { answer = m_ui->runAlert(alert); });
    return answer;
}

void MigrationReporter::alert(const QString& titleKey, const QString& messageText, bool critical) const
{
    Alert alert;
    alert.style = critical ? AlertStyle::Critical : AlertStyle::Warning;
    alert.title = localizedString(titleKey);
    alert.message = messageText;
    alert.buttons = {localizedString(QStringLiteral("OKButton"))};
    runAlert(alert);
}

void MigrationReporter::presentError(const PresentableError& error) const
{
    if (m_ui) {
        onMainThread([&] { m_ui->presentError(error); });
    }
}

void MigrationReporter::zeroCounters()
{
    for (QAtomicInt& value : m_counters) {
        value.storeRelaxed(0);
    }
}

void MigrationReporter::showProgressPanel(const QString& message)
{
    zeroCounters();
    if (m_progress) {
        onMainThread([this, message] { m_progress->show(message); });
    }
}

void MigrationReporter::resetProgressIndicatorWithMax(int maximum)
{
    m_barMaximum = maximum == 0 ? 50 : maximum;
    m_barValue.storeRelaxed(0);
    if (m_progress) {
        onMainThread([this, maximum] { m_progress->resetBar(maximum); });
    }
}

void MigrationReporter::incrementProgressIndicator()
{
    m_barValue.fetchAndAddRelaxed(1);
    if (m_progress) {
        onMainThread([this] { m_progress->stepBar(); });
    }
}

void MigrationReporter::incrementProgressIndicatorWithMessage(const QString& message)
{
    setProgressMessageString(message);
    incrementProgressIndicator();
}

void MigrationReporter::setProgressMessageString(const QString& message)
{
    if (m_progress) {
        onMainThread([this, message] { m_progress->setMessage(message); });
    }
}

void MigrationReporter::bumpCounter(MigrationProgress::Counter which)
{
    const int value = m_counters[int(which)].fetchAndAddRelaxed(1) + 1;
    if (m_progress) {
        onMainThread([this, which, value] { m_progress->setCounter(which, value); });
    }
}

void MigrationReporter::incrementProgressProductCount()
{
    bumpCounter(MigrationProgress::Counter::Products);
}

void MigrationReporter::incrementProgressAttachmentCount()
{
    bumpCounter(MigrationProgress::Counter::Attachments);
}

void MigrationReporter::incrementProgressProductFailedCount()
{
    bumpCounter(MigrationProgress::Counter::FailedProducts);
}

void MigrationReporter::incrementProgressAttachmentFailedCount()
{
    bumpCounter(MigrationProgress::Counter::FailedAttachments);
}

void MigrationReporter::resetProgressCounters()
{
    zeroCounters();
    if (m_progress) {
        onMainThread([this] { m_progress->resetCounters(); });
    }
}

void MigrationReporter::endProgressSheet()
{
    if (m_progress) {
        onMainThread([this] { m_progress->hide(); }, false);
    }
}

int MigrationReporter::counter(MigrationProgress::Counter which) const
{
    return m_counters[int(which)].loadRelaxed();
}
