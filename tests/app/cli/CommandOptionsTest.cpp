#include "cli/CommandOptions.h"

#include <QTextStream>

#include <gtest/gtest.h>
#include <map>

namespace {

// A table with each kind of entry: a value option, flags (one with a short name), a value option
// that may be repeated, a required option, and positional arguments.
CommandOptions demoOptions()
{
    return CommandOptions(
        QStringLiteral("demo"),
        {CliOption::value(QStringLiteral("title"), QStringLiteral("TITLE"), QStringLiteral("the title")),
         CliOption::flag(QStringLiteral("json"), QStringLiteral("print JSON")),
         CliOption::value(QStringLiteral("tag"), QStringLiteral("TAG"),
                          QStringLiteral("a tag; give it again for more")),
         {QStringLiteral("verbose"), QStringLiteral("v"), {}, QStringLiteral("say more")},
         CliOption::requiredValue(QStringLiteral("to"), QStringLiteral("FILE"), QStringLiteral("where it goes"))},
        {{QStringLiteral("NAME"), QStringLiteral("the name")},
         {QStringLiteral("[FIELD=VALUE]..."), QStringLiteral("fields")}});
}

struct Parsed
{
    std::optional<CommandArguments> arguments;
    QString err;
};

Parsed parse(const QStringList& arguments)
{
    Parsed parsed;
    QTextStream err(&parsed.err);
    parsed.arguments = demoOptions().parse(arguments, err);
    err.flush();
    return parsed;
}

} // namespace

TEST(CommandOptions, AcceptedFormsGiveTheirValuesAndPositionalArguments)
{
    using Values = std::map<QString, QStringList>;
    struct Case
    {
        QStringList arguments;
        QStringList positional;
        Values values; // every option expected to be set, with its values
    };
    const QString title = QStringLiteral("title");
    const QString json = QStringLiteral("json");
    const QString tag = QStringLiteral("tag");
    const Case cases[] = {
        {{QStringLiteral("--title"), QStringLiteral("A B")}, {}, {{title, {QStringLiteral("A B")}}}},
        {{QStringLiteral("--title=A=B")}, {}, {{title, {QStringLiteral("A=B")}}}},
        {{QStringLiteral("--title=")}, {}, {{title, {QString()}}}},
        // Options go anywhere among the positional arguments.
        {{QStringLiteral("x"), QStringLiteral("--json"), QStringLiteral("y")},
         {QStringLiteral("x"), QStringLiteral("y")},
         {{json, {}}}},
        {{QStringLiteral("--tag"), QStringLiteral("a"), QStringLiteral("--tag=b")},
         {},
         {{tag, {QStringLiteral("a"), QStringLiteral("b")}}}},
        // A value is taken whatever it looks like.
        {{QStringLiteral("--title"), QStringLiteral("--json")}, {}, {{title, {QStringLiteral("--json")}}}},
        {{QStringLiteral("--"), QStringLiteral("--json"), QStringLiteral("--bogus")},
         {QStringLiteral("--json"), QStringLiteral("--bogus")},
         {}},
        {{QStringLiteral("-")}, {QStringLiteral("-")}, {}},
        {{QStringLiteral("-v")}, {}, {{QStringLiteral("verbose"), {}}}},
        {{QStringLiteral("-json")}, {}, {{json, {}}}},
        {{QStringLiteral("key=value"), QStringLiteral("--to"), QStringLiteral("out")},
         {QStringLiteral("key=value")},
         {{QStringLiteral("to"), {QStringLiteral("out")}}}},
    };
    const CommandOptions demo = demoOptions();
    for (const Case& c : cases) {
        const std::string name = c.arguments.join(u' ').toStdString();
        const Parsed parsed = parse(c.arguments);
        ASSERT_TRUE(parsed.arguments) << name << ": " << parsed.err.toStdString();
        EXPECT_TRUE(parsed.err.isEmpty()) << name;
        EXPECT_EQ(parsed.arguments->positional(), c.positional) << name;
        for (const CliOption& option : demo.options()) {
            const auto expected = c.values.find(option.name);
            EXPECT_EQ(parsed.arguments->isSet(option.name), expected != c.values.end())
                << name << " " << option.name.toStdString();
            if (expected != c.values.end()) {
                EXPECT_EQ(parsed.arguments->values(option.name), expected->second) << name;
                EXPECT_EQ(parsed.arguments->value(option.name), expected->second.value(expected->second.size() - 1));
            }
        }
    }
}

TEST(CommandOptions, WrongOptionsAreRefusedWithOneMessageAndTheUsage)
{
    const struct
    {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{QStringLiteral("--bogus")}, "keymoor: unknown option --bogus\n"},
        {{QStringLiteral("x"), QStringLiteral("--bogus=1"), QStringLiteral("--other")},
         "keymoor: unknown option --bogus\n"},
        // A word with one dash is no bundle of one-letter options.
        {{QStringLiteral("-vj")}, "keymoor: unknown option -vj\n"},
        {{QStringLiteral("--title")}, "keymoor: --title needs a value\n"},
        {{QStringLiteral("x"), QStringLiteral("--json"), QStringLiteral("--tag")}, "keymoor: --tag needs a value\n"},
        {{QStringLiteral("--json=yes")}, "keymoor: --json takes no value\n"},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.arguments) << c.message;
        EXPECT_TRUE(parsed.err.startsWith(QLatin1String(c.message))) << parsed.err.toStdString();
        EXPECT_TRUE(parsed.err.endsWith(QStringLiteral("Usage: ") + demoOptions().usageLine() + u'\n'))
            << parsed.err.toStdString();
    }
}

TEST(CommandOptions, AssignmentsAreThePositionalArgumentsWithAnEqualsSign)
{
    const Parsed parsed = parse({QStringLiteral("Editor"), QStringLiteral("serialNumber=A=B"), QStringLiteral("--json"),
                                 QStringLiteral("publisher="), QStringLiteral("Other")});
    ASSERT_TRUE(parsed.arguments);
    EXPECT_EQ(parsed.arguments->plainPositional(), (QStringList {QStringLiteral("Editor"), QStringLiteral("Other")}));
    const QList<QPair<QString, QString>> expected {{QStringLiteral("serialNumber"), QStringLiteral("A=B")},
                                                   {QStringLiteral("publisher"), QString()}};
    EXPECT_EQ(parsed.arguments->assignments(), expected);
}

TEST(CommandOptions, TheUsageLineFollowsTheTableAndWrapsLongLines)
{
    EXPECT_EQ(demoOptions().usageLine(),
              QStringLiteral("keymoor demo NAME [FIELD=VALUE]... [--title TITLE] [--json] "
                             "[--tag TAG] [--verbose] --to FILE"));
    QList<CliOption> many;
    for (int i = 0; i < 12; ++i) {
        many.append(CliOption::value(QStringLiteral("option-%1").arg(i), QStringLiteral("VALUE"), QString()));
    }
    const QString usage = CommandOptions::usage({CommandOptions(QStringLiteral("long"), many), demoOptions()});
    const QStringList lines = usage.split(u'\n');
    ASSERT_GT(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).startsWith(QLatin1String("Usage: keymoor long [--option-0 VALUE]")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral(" ").repeated(20) + QStringLiteral("[--option-")))
        << lines.at(1).toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("       ") + demoOptions().usageLine());
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 110) << line.toStdString();
    }
}
