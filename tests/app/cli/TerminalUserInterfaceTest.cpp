#include "cli/TerminalUserInterface.h"

#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class TerminalUserInterfaceTest : public ::testing::Test
{
protected:
    QString out;
    QString err;
    QTextStream outStream {&out};
    QTextStream errStream {&err};
    TerminalUserInterface ui {outStream, errStream};
};

Alert quitAlert()
{
    Alert alert;
    alert.style = AlertStyle::Critical;
    alert.message = QStringLiteral("Your changes could not be saved.");
    alert.buttons = {QStringLiteral("Quit"), QStringLiteral("Cancel")};
    alert.escapeButton = 1;
    return alert;
}

} // namespace

TEST_F(TerminalUserInterfaceTest, UnconfiguredChoicesChangeNothing)
{
    EXPECT_EQ(ui.runAlert(quitAlert()), 1);
    Question question;
    question.yesButton = QStringLiteral("Replace");
    question.noButton = QStringLiteral("Keep");
    EXPECT_EQ(ui.ask(question), Answer::No);
    question.cancelButton = QStringLiteral("Cancel");
    EXPECT_EQ(ui.ask(question), Answer::Cancel);
    EXPECT_EQ(ui.runOpenPanel({}), std::nullopt);
    EXPECT_EQ(ui.runSavePanel({}), std::nullopt);
    EXPECT_FALSE(ui.presentError({QStringLiteral("The store could not be opened."), {}, QStringLiteral("disk I/O")}));
    EXPECT_TRUE(err.contains(QLatin1String("keymoor: error: Your changes could not be saved.")));
    EXPECT_TRUE(err.contains(QLatin1String("keymoor: error: The store could not be opened.")));
    EXPECT_TRUE(err.contains(QLatin1String("disk I/O")));
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(TerminalUserInterfaceTest, TheConfiguredAnswerPicksTheMatchingButton)
{
    Alert three;
    three.buttons = {QStringLiteral("Replace"), QStringLiteral("Keep"), QStringLiteral("Cancel")};
    three.escapeButton = 2;
    const std::pair<Answer, int> cases[] = {{Answer::Yes, 0}, {Answer::No, 1}, {Answer::Cancel, 2}};
    for (const auto& [answer, index] : cases) {
        ui.setAnswer(answer);
        EXPECT_EQ(ui.runAlert(three), index);
    }
    ui.setAnswer(Answer::Cancel);
    Question noCancel;
    EXPECT_EQ(ui.ask(noCancel), Answer::No); // a question that cannot be cancelled
    Alert okOnly;
    okOnly.title = QStringLiteral("Done");
    EXPECT_EQ(ui.runAlert(okOnly), 0);
}

TEST_F(TerminalUserInterfaceTest, AQuestionAskedAtTheTerminalTakesOnlyYesAsYes)
{
    QString typed = QStringLiteral("Y\nsure\n\n");
    QTextStream keyboard(&typed);
    ui.setInput(&keyboard);
    Question question;
    question.yesButton = QStringLiteral("Remove");
    question.noButton = QStringLiteral("Keep");
    EXPECT_EQ(ui.ask(question), Answer::Yes);
    EXPECT_EQ(ui.ask(question), Answer::No);
    EXPECT_EQ(ui.ask(question), Answer::No); // an empty line
    EXPECT_EQ(ui.ask(question), Answer::No); // the end of the input
    EXPECT_TRUE(err.contains(QStringLiteral("Remove? [y/N]"))) << err.toStdString();
    ui.setAnswer(Answer::Yes); // a configured answer is never asked for
    typed = QStringLiteral("n\n");
    EXPECT_EQ(ui.ask(question), Answer::Yes);
}

TEST_F(TerminalUserInterfaceTest, ProgressIsOneLinePerMessageAndClipboardTextGoesToOutput)
{
    ui.startProgress(QStringLiteral("Importing…"));
    ui.startProgress(QStringLiteral("Importing…"));
    EXPECT_TRUE(ui.isProgressShown());
    ui.stopProgress();
    ui.stopProgress();
    EXPECT_FALSE(ui.isProgressShown());
    EXPECT_EQ(err, QStringLiteral("Importing…\n"));

    ui.setClipboardText(QStringLiteral("KEY-42"), true);
    EXPECT_EQ(out, QStringLiteral("KEY-42\n"));
}
