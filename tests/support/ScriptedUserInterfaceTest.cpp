#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

namespace {

Alert deleteAlert()
{
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = QStringLiteral("Delete?");
    alert.buttons = {QStringLiteral("Delete"), QStringLiteral("Cancel")};
    alert.escapeButton = 1;
    return alert;
}

} // namespace

TEST(ScriptedUserInterface, AnswersFromItsQueuesInOrder)
{
    ScriptedUserInterface ui;
    ui.queueAlertAnswer(0);
    ui.queueAlertAnswer(1);
    ui.queueAnswer(Answer::Yes);
    ui.queueOpenPanelResult(QStringList {QStringLiteral("/a"), QStringLiteral("/b")});
    ui.queueSavePanelResult(QStringLiteral("/out.txt"));
    ui.queuePresentErrorResult(true);
    EXPECT_EQ(ui.pendingAnswers(), 6);

    EXPECT_EQ(ui.runAlert(deleteAlert()), 0);
    EXPECT_EQ(ui.runAlert(deleteAlert()), 1);
    EXPECT_EQ(ui.ask(Question {}), Answer::Yes);
    EXPECT_EQ(ui.runOpenPanel({}), QStringList({QStringLiteral("/a"), QStringLiteral("/b")}));
    EXPECT_EQ(ui.runSavePanel({}), QStringLiteral("/out.txt"));
    EXPECT_TRUE(ui.presentError({QStringLiteral("Disk full"), {}, {}}));
    EXPECT_EQ(ui.pendingAnswers(), 0);
    EXPECT_EQ(ui.unscriptedCalls(), 0);
}

TEST(ScriptedUserInterface, UnscriptedCallsTakeTheWayThatChangesNothing)
{
    ScriptedUserInterface ui;
    EXPECT_EQ(ui.runAlert(deleteAlert()), 1);
    Alert okOnly;
    EXPECT_EQ(ui.runAlert(okOnly), 0);
    Question cancellable;
    cancellable.cancelButton = QStringLiteral("Cancel");
    EXPECT_EQ(ui.ask(cancellable), Answer::Cancel);
    EXPECT_EQ(ui.ask(Question {}), Answer::No);
    EXPECT_EQ(ui.runOpenPanel({}), std::nullopt);
    EXPECT_EQ(ui.runSavePanel({}), std::nullopt);
    EXPECT_FALSE(ui.presentError({}));
    EXPECT_EQ(ui.unscriptedCalls(), 7);
}

TEST(ScriptedUserInterface, RecordsCallsInOrder)
{
    ScriptedUserInterface ui;
    ui.startProgress(QStringLiteral("Importing"));
    ui.runAlert(deleteAlert());
    ui.setClipboardText(QStringLiteral("KEY-123"), true);
    ui.stopProgress();
    EXPECT_FALSE(ui.isProgressShown());
    EXPECT_EQ(ui.calls(),
              QStringList({QStringLiteral("progress start: Importing"), QStringLiteral("alert: Delete?"),
                           QStringLiteral("clipboard (sensitive): KEY-123"), QStringLiteral("progress stop")}));
}
