#include "base/KMRegex.h"

#include "EmailTestSupport.h"

#include <QElapsedTimer>

#include <atomic>
#include <thread>
#include <vector>

TEST(KMRegex, AnswersTheLastGroupOfTheFirstMatch)
{
    struct Case
    {
        const char* text;
        const char* pattern;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"key=A1 key=B2", "key=(\\w+)", QStringLiteral("A1")}, // first match wins
        {"name: Jane code: 42", "name: (\\w+) code: (\\d+)", QStringLiteral("42")}, // last group
        {"order 1234", "\\d+", QStringLiteral("1234")}, // no group: whole match
        {"serial: X", "serial:( number)? (X)|(Y)", QStringLiteral("")}, // last group did not take part
        {"nothing here", "serial: (\\w+)", std::nullopt},
        {"Caf\xC3\xA9 \xE2\x82\xAC 99", "\xE2\x82\xAC (\\d+)", QStringLiteral("99")}, // offsets past non-ASCII text
    };
    for (const Case& c : cases) {
        const auto found = KM_findWithRegEx(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern));
        EXPECT_EQ(found, c.expected) << c.text << " / " << c.pattern;
    }
}

TEST(KMRegex, InvalidPatternsAreLoggedAndAnswerNothing)
{
    LogCapture log;
    EXPECT_FALSE(KM_findWithRegEx(QStringLiteral("abc"), QStringLiteral("(unclosed")));
    EXPECT_TRUE(log.contains(QStringLiteral("Exeption Caught during KM_findWithRegEx")));
    QString error;
    EXPECT_FALSE(KMRegex::isValidPattern(QStringLiteral("[z-a]"), &error));
    EXPECT_FALSE(error.isEmpty());
    // A cached failure is reported again on the next use.
    const qsizetype before = log.lines().size();
    EXPECT_FALSE(KM_findWithRegEx(QStringLiteral("abc"), QStringLiteral("(unclosed")));
    EXPECT_GT(log.lines().size(), before);
}

TEST(KMRegex, BacktrackingStopsAtTheDeadlineAndCountsAsNoMatch)
{
    LogCapture log;
    // Exponential backtracking without any growth of the backtracking stack limit being the cause.
    const QString text = QString(40, QLatin1Char('a')) + QLatin1Char('!');
    const QString pattern = QStringLiteral("^(a|a?)+$");
    QElapsedTimer timer;
    timer.start();
    const KMRegex::Match match = KMRegex::find(text, pattern, QDeadlineTimer(100));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(match.status, KMRegex::Status::OutOfTime);
    EXPECT_FALSE(KM_findWithRegEx(text, pattern));
    EXPECT_TRUE(log.contains(QStringLiteral("treated as no match")));

    const KMRegex::Match expired = KMRegex::find(QStringLiteral("abc"), QStringLiteral("b"), QDeadlineTimer(0));
    EXPECT_EQ(expired.status, KMRegex::Status::OutOfTime);
}

TEST(KMRegex, MatchOffsetsCoverTheWholeMatch)
{
    const KMRegex::Match match
        = KMRegex::find(QStringLiteral("xx\nSubject: Hi\nyy"), QStringLiteral("(?m)^\\w+: (.+)"));
    ASSERT_TRUE(match.matched());
    EXPECT_EQ(match.value, QStringLiteral("Hi"));
    EXPECT_EQ(match.start, 3);
    EXPECT_EQ(match.end, 14);
}

TEST(KMRegex, CachedPatternsAreSafeToShareBetweenThreads)
{
    std::atomic<int> wrong {0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < 200; ++i) {
                const QString key = QStringLiteral("K%1-%2").arg(t).arg(i);
                const QString pattern = QStringLiteral("(?i)serial: (k%1-\\d+)").arg(t + (i % 3) * 10);
                const auto found = KM_findWithRegEx(QStringLiteral("Serial: ") + key, pattern);
                const bool shouldMatch = i % 3 == 0;
                if (found.has_value() != shouldMatch || (found && *found != key)) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

TEST(KMRegex, EmailAddressTestTakesTheWholeText)
{
    const std::pair<const char*, bool> cases[] = {
        {"jane.appleseed@example.com", true},
        {"JANE+keys@Example.CO.UK", true},
        {"j_a%ne@mail-host.info", true},
        {" jane@example.com", false},
        {"Jane <jane@example.com>", false},
        {"a@example.com, b@example.com", false},
        {"jane@example.museum", false}, // top-level domains of more than 4 letters fail
        {"jane@localhost", false},
        {"", false},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(isEmailAddress(QString::fromUtf8(text)), expected) << text;
    }
}
