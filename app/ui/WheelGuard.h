#pragma once

#include <QObject>

class QWheelEvent;
class QWidget;

// Keeps the mouse wheel from changing a value by accident: installed on the application, it lets
// spin boxes, date fields and combo boxes take wheel events only while they have the keyboard focus.
// Otherwise the event goes on to the widgets around them, so scrolling a form scrolls the form.
// The guarded widgets take focus by click or Tab only, never by the wheel.
class WheelGuard : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WheelGuard)

public:
    explicit WheelGuard(QObject* parent = nullptr);

    // Installs one guard on the running application (again a no-op).
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void passToParents(QWidget* widget, QWheelEvent* event);
};
