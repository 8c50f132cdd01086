#include "ui/QtUserInterface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace {

// Acts on the message box once it is shown and running its own event loop.
void whenMessageBoxShows(std::function<void(QMessageBox*)> act)
{
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            act(box);
        }
    });
}

void clickButtonNamed(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text) {
            button->click();
            return;
        }
    }
}

Alert deleteAlert()
{
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = QStringLiteral("Delete “Editor”?");
    alert.message = QStringLiteral("It cannot be undone.");
    alert.buttons = {QStringLiteral("Delete"), QStringLiteral("Keep"), QStringLiteral("Cancel")};
    alert.escapeButton = 2;
    return alert;
}

} // namespace

TEST(QtUserInterface, AlertsAnswerTheIndexOfTheButtonChosen)
{
    QMainWindow window;
    window.show();
    QtUserInterface ui(&window);

    QString shownText;
    QString shownInformative;
    whenMessageBoxShows([&](QMessageBox* box) {
        shownText = box->text();
        shownInformative = box->informativeText();
        clickButtonNamed(box, QStringLiteral("Keep"));
    });
    EXPECT_EQ(ui.runAlert(deleteAlert()), 1);
    EXPECT_EQ(shownText, deleteAlert().title);
    EXPECT_EQ(shownInformative, deleteAlert().message);

    whenMessageBoxShows([](QMessageBox* box) { clickButtonNamed(box, QStringLiteral("Delete")); });
    EXPECT_EQ(ui.runAlert(deleteAlert()), 0);

    whenMessageBoxShows([](QMessageBox* box) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(ui.runAlert(deleteAlert()), 2);
}

TEST(QtUserInterface, SensitiveClipboardTextIsMarkedForClipboardManagers)
{
    QtUserInterface ui(nullptr);
    QClipboard* clipboard = QGuiApplication::clipboard();

    ui.setClipboardText(QStringLiteral("ABCD-1234-EFGH"), true);
    EXPECT_EQ(clipboard->text(), QStringLiteral("ABCD-1234-EFGH"));
    ASSERT_NE(clipboard->mimeData(), nullptr);
    EXPECT_EQ(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));

    ui.setClipboardText(QStringLiteral("Jane Doe"), false);
    EXPECT_EQ(clipboard->text(), QStringLiteral("Jane Doe"));
    EXPECT_FALSE(clipboard->mimeData()->hasFormat(QStringLiteral("x-kde-passwordManagerHint")));

    // Copying a missing value leaves an empty plain-text clipboard, not the previous text.
    ui.setClipboardText(QString(), true);
    EXPECT_TRUE(clipboard->text().isEmpty());
}
