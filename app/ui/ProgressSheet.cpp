#include "ProgressSheet.h"

#include "base/Localization.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

ProgressSheet::ProgressSheet(QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_message(new QLabel(this))
    , m_indicator(new QProgressBar(this))
    , m_cancel(new QPushButton(localizedString(QStringLiteral("CancelButton")), this))
{
    setObjectName(QStringLiteral("progressSheet"));
    m_cancel->setObjectName(QStringLiteral("progressCancelButton"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &ProgressSheet::cancelClicked);
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    setWindowTitle(localizedString(QStringLiteral("KeymoorWindowTitle")));
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(320);
    m_indicator->setTextVisible(false);
    m_indicator->setRange(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_indicator);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
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
    m_cancel->hide();
    m_cancelAction = nullptr;
    hide();
}

void ProgressSheet::offerCancel(std::function<void()> cancel, const QString& cancellingMessage)
{
    if (!isVisible()) {
        return;
    }
    m_cancelAction = std::move(cancel);
    m_cancellingMessage = cancellingMessage;
    m_cancel->setEnabled(true);
    m_cancel->show();
}

void ProgressSheet::cancelClicked()
{
    const std::function<void()> cancel = std::exchange(m_cancelAction, nullptr);
    m_cancel->setEnabled(false);
    m_message->setText(m_cancellingMessage);
    if (cancel) {
        cancel();
    }
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
