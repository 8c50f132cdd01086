#include "MigrationProgressSheet.h"

#include "base/Localization.h"

#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

constexpr int DefaultMaximum = 50;

int index(MigrationProgress::Counter counter)
{
    return int(counter);
}

} // namespace

MigrationProgressSheet::MigrationProgressSheet(QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_message(new QLabel(this))
    , m_bar(new QProgressBar(this))
{
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(localizedString(QStringLiteral("KeymoorWindowTitle")));
    setObjectName(QStringLiteral("migrationProgressSheet"));
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(360);
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_bar->setTextVisible(false);
    auto* counters = new QFormLayout;
    const char* const labelKeys[] = {"ProgressProductsLabel", "ProgressAttachmentsLabel", "ProgressFailedProductsLabel",
                                     "ProgressFailedAttachmentsLabel"};
    for (int i = 0; i < 4; ++i) {
        m_counterLabels[i] = new QLabel(localizedString(QString::fromLatin1(labelKeys[i])), this);
        m_counterValues[i] = new QLabel(QStringLiteral("0"), this);
        counters->addRow(m_counterLabels[i], m_counterValues[i]);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_bar);
    layout->addLayout(counters);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    resetCounters();
}

MigrationProgressSheet::~MigrationProgressSheet() = default;

void MigrationProgressSheet::show(const QString& message)
{
    m_message->setText(message);
    m_bar->setRange(0, 0); // indeterminate: the bar animates by itself
    resetCounters();
    if (!isVisible()) {
        QDialog::show();
        raise();
    }
}

void MigrationProgressSheet::setMessage(const QString& message)
{
    m_message->setText(message);
}

void MigrationProgressSheet::resetBar(int maximum)
{
    m_bar->setRange(0, maximum == 0 ? DefaultMaximum : maximum);
    m_bar->setValue(0);
}

void MigrationProgressSheet::stepBar()
{
    if (m_bar->maximum() == 0) {
        return;
    }
    const int value = m_bar->value() + 1;
    if (value >= m_bar->maximum()) {
        m_bar->setRange(0, 0);
    } else {
        m_bar->setValue(value);
    }
}

void MigrationProgressSheet::resetCounters()
{
    for (int i = 0; i < 4; ++i) {
        m_counterValues[i]->setText(QStringLiteral("0"));
        const bool failure = i >= index(Counter::FailedProducts);
        m_counterLabels[i]->setVisible(!failure);
        m_counterValues[i]->setVisible(!failure);
    }
}

void MigrationProgressSheet::setCounter(Counter counter, int value)
{
    m_counterValues[index(counter)]->setText(QString::number(value));
    m_counterLabels[index(counter)]->setVisible(true);
    m_counterValues[index(counter)]->setVisible(true);
}

void MigrationProgressSheet::hide()
{
    m_bar->setRange(0, 1);
    QDialog::hide();
}

QString MigrationProgressSheet::message() const
{
    return m_message->text();
}

int MigrationProgressSheet::counterValue(Counter counter) const
{
    return m_counterValues[index(counter)]->text().toInt();
}

bool MigrationProgressSheet::isCounterVisible(Counter counter) const
{
    return !m_counterValues[index(counter)]->isHidden();
}

void MigrationProgressSheet::reject()
{
    // Escape would hide the sheet while the operation goes on writing.
}
