#include "WheelGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QWheelEvent>

namespace {

bool isGuarded(const QObject* object)
{
    return qobject_cast<const QAbstractSpinBox*>(object) || qobject_cast<const QComboBox*>(object);
}

} // namespace

WheelGuard::WheelGuard(QObject* parent)
    : QObject(parent)
{ }

void WheelGuard::install()
{
    if (!qApp || qApp->findChild<WheelGuard*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    qApp->installEventFilter(new WheelGuard(qApp));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType() || !isGuarded(watched)) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Polish && widget->focusPolicy() == Qt::WheelFocus) {
        widget->setFocusPolicy(Qt::StrongFocus);
    } else if (event->type() == QEvent::Wheel && !widget->hasFocus()) {
        passToParents(widget, static_cast<QWheelEvent*>(event));
        return true;
    }
    return false;
}

void WheelGuard::passToParents(QWidget* widget, QWheelEvent* event)
{
    // The application passes only wheel events from the system up the parents, so the guard does it
    // itself, up to the first widget that takes it (a scroll area) or the window.
    for (QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        const QPointF position = parent->mapFromGlobal(event->globalPosition());
        QWheelEvent passed(position, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                           event->buttons(), event->modifiers(), event->phase(), event->inverted(), event->source());
        passed.ignore();
        QCoreApplication::sendEvent(parent, &passed);
        if (passed.isAccepted() || parent->isWindow()) {
            break;
        }
    }
    event->accept();
}
