#include "ProgressSheet.h"

#include "base/Localization.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressSheet::ProgressSheet(QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_message(new QLabel(this))
    , m_indicator(new QProgressBar(this))
{
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(localizedString(QStringLiteral("KeymoorWindowTitle")));
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(320);
    m_indicator->setTextVisible(false);
    m_indicator->setRange(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_indicator);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ProgressSheet::~ProgressSheet() = default;

void ProgressSheet::start(const QString& message)
{
    m_message->setText(message);
    // A range of (0, 0) makes the bar a busy indicator that animates by itself.
    m_indicator->setRange(0, 0);
    if (!isVisible()) {
        show();
        raise();
    }
}

void ProgressSheet::stop()
{
    if (!isVisible()) {
        return;
    }
    m_indicator->setRange(0, 1);
    hide();
}

bool ProgressSheet::isShown() const
{
    return isVisible();
}

QString ProgressSheet::message() const
{
    return m_message->text();
}

bool ProgressSheet::isAnimating() const
{
    return isVisible() && m_indicator->maximum() == 0;
}

void ProgressSheet::reject()
{
    // Escape would hide the sheet while the operation goes on writing the catalogue.
}

void ProgressSheet::closeEvent(QCloseEvent* event)
{
    if (isVisible()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
