#include "ui/WheelGuard.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// A tall form in a scroll area, as the product details are: a date field and a combo box on top.
struct ScrollingForm
{
    ScrollingForm()
    {
        auto* form = new QWidget;
        auto* layout = new QVBoxLayout(form);
        date = new QDateEdit(QDate(2024, 5, 17), form);
        combo = new QComboBox(form);
        combo->addItems({QStringLiteral("EUR"), QStringLiteral("USD"), QStringLiteral("JPY")});
        layout->addWidget(date);
        layout->addWidget(combo);
        layout->addSpacing(3000);
        area.setWidget(form);
        area.resize(300, 200);
        area.show();
    }

    // Scrolls the wheel one notch down over `widget`.
    static void wheelDown(QWidget* widget)
    {
        const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent wheel(inside, widget->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
    }

    QScrollArea area;
    QDateEdit* date = nullptr;
    QComboBox* combo = nullptr;
};

TEST(WheelGuardTest, TheWheelOverAnUnfocusedFieldScrollsTheFormAndChangesNothing)
{
    WheelGuard::install();
    WheelGuard::install();
    EXPECT_EQ(qApp->findChildren<WheelGuard*>().size(), 1) << "installing twice installs one guard";

    ScrollingForm form;
    ASSERT_FALSE(form.date->hasFocus());
    EXPECT_EQ(form.date->focusPolicy(), Qt::StrongFocus) << "the wheel must not give the field focus";

    ScrollingForm::wheelDown(form.date);
    EXPECT_EQ(form.date->date(), QDate(2024, 5, 17));
    EXPECT_GT(form.area.verticalScrollBar()->value(), 0) << "the form scrolls instead";

    const int scrolled = form.area.verticalScrollBar()->value();
    ScrollingForm::wheelDown(form.combo);
    EXPECT_EQ(form.combo->currentIndex(), 0);
    EXPECT_GT(form.area.verticalScrollBar()->value(), scrolled);
}

TEST(WheelGuardTest, AFocusedFieldStillTakesTheWheel)
{
    WheelGuard::install();
    ScrollingForm form;
    form.area.activateWindow();
    form.combo->setFocus();
    QApplication::processEvents();
    if (!form.combo->hasFocus()) {
        GTEST_SKIP() << "this platform gives no window the focus";
    }
    ScrollingForm::wheelDown(form.combo);
    EXPECT_EQ(form.combo->currentIndex(), 1);
}

} // namespace
