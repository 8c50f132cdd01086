#include "software/DesktopEntryFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Shows texts readably in failure messages.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

DesktopEntryFile parsed(const QByteArray& data)
{
    QString error;
    const std::optional<DesktopEntryFile> file = DesktopEntryFile::parse(data, &error);
    EXPECT_TRUE(file.has_value()) << error.toStdString();
    return file.value_or(DesktopEntryFile());
}

TEST(DesktopEntryFile, ReadsGroupsKeysAndEscapes)
{
    const DesktopEntryFile file = parsed("\xEF\xBB\xBF# leading comment\r\n"
                                         "[Desktop Entry]\r\n"
                                         "  Name =  Padded value  \r\n"
                                         "Comment=Two\\nlines\\tand\\s\\\\ a \\q kept\n"
                                         "\n"
                                         "Name=Second name loses\n"
                                         "[Desktop Action new]\n"
                                         "Name=In the action\n"
                                         "[Desktop Entry]\n"
                                         "Exec=repeated group is ignored\n");
    EXPECT_EQ(file.groups(), QStringList({QStringLiteral("Desktop Entry"), QStringLiteral("Desktop Action new")}));
    EXPECT_EQ(file.string(QStringLiteral("Name")), QStringLiteral("Padded value"));
    EXPECT_EQ(file.string(QStringLiteral("Comment")), QStringLiteral("Two\nlines\tand \\ a \\q kept"));
    EXPECT_EQ(file.rawValue(QStringLiteral("Comment")), QStringLiteral("Two\\nlines\\tand\\s\\\\ a \\q kept"));
    EXPECT_EQ(file.string(QStringLiteral("Name"), QStringLiteral("Desktop Action new")),
              QStringLiteral("In the action"));
    EXPECT_FALSE(file.hasKey(QStringLiteral("Exec")));
    EXPECT_FALSE(file.rawValue(QStringLiteral("Name"), QStringLiteral("No Such Group")).has_value());
}

TEST(DesktopEntryFile, ListsAndBooleans)
{
    const DesktopEntryFile file = parsed("[Desktop Entry]\n"
                                         "Categories=Utility;Semi\\;colon;;Back\\\\;Last;\n"
                                         "Single=alone\n"
                                         "Yes=true\nOne=1\nNo=false\nZero=0\nOdd=True\n");
    EXPECT_EQ(file.stringList(QStringLiteral("Categories")),
              QStringList({QStringLiteral("Utility"), QStringLiteral("Semi;colon"), QString(), QStringLiteral("Back\\"),
                           QStringLiteral("Last")}));
    EXPECT_EQ(file.stringList(QStringLiteral("Single")), QStringList {QStringLiteral("alone")});
    EXPECT_TRUE(file.stringList(QStringLiteral("Missing")).isEmpty());
    EXPECT_TRUE(file.boolean(QStringLiteral("Yes")));
    EXPECT_TRUE(file.boolean(QStringLiteral("One")));
    EXPECT_FALSE(file.boolean(QStringLiteral("No"), true));
    EXPECT_FALSE(file.boolean(QStringLiteral("Zero"), true));
    EXPECT_TRUE(file.boolean(QStringLiteral("Odd"), true)) << "not a boolean: the default";
    EXPECT_FALSE(file.boolean(QStringLiteral("Odd"), false));
    EXPECT_TRUE(file.boolean(QStringLiteral("Missing"), true));
}

TEST(DesktopEntryFile, LocalizedValuesFollowTheLocaleOrder)
{
    const DesktopEntryFile file = parsed("[Desktop Entry]\n"
                                         "Name=Wind\n"
                                         "Name[de]=Wind (de)\n"
                                         "Name[de_CH]=Wind (de_CH)\n"
                                         "Name[sr@latin]=Wind (sr@latin)\n"
                                         "Name[sr_RS]=Wind (sr_RS)\n"
                                         "Name[sr_BA@latin]=Wind (sr_BA@latin)\n");
    const std::pair<const char*, const char*> cases[] = {
        {"de_CH.UTF-8", "Wind (de_CH)"},
        {"de_AT.UTF-8@euro", "Wind (de)"},
        {"de", "Wind (de)"},
        {"sr_RS@latin", "Wind (sr_RS)"}, // the country counts before the modifier
        {"sr_ME@latin", "Wind (sr@latin)"},
        {"sr_BA.UTF-8@latin", "Wind (sr_BA@latin)"},
        {"sr", "Wind"},
        {"fr_FR.UTF-8", "Wind"},
        {"C", "Wind"},
        {"C.UTF-8", "Wind"},
        {"POSIX", "Wind"},
        {"", "Wind"},
    };
    for (const auto& [locale, expected] : cases) {
        EXPECT_EQ(file.localeString(QStringLiteral("Name"), QString::fromLatin1(locale)), QString::fromUtf8(expected))
            << locale;
    }
    EXPECT_EQ(file.localeString(QStringLiteral("Name"),
                                DesktopEntryFile::localeName(QLocale(QLocale::German, QLocale::Switzerland))),
              QStringLiteral("Wind (de_CH)"));
    EXPECT_EQ(DesktopEntryFile::localeName(QLocale::c()), QStringLiteral("C"));
}

TEST(DesktopEntryFile, ProcessLocaleComesFromTheFirstVariableSet)
{
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    QList<QByteArray> saved;
    for (const char* name : names) {
        saved.append(qgetenv(name));
    }
    qputenv("LC_ALL", "");
    qputenv("LC_MESSAGES", "nl_BE.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    EXPECT_EQ(DesktopEntryFile::processLocale(), QStringLiteral("nl_BE.UTF-8"));
    qputenv("LC_ALL", "pt_BR");
    EXPECT_EQ(DesktopEntryFile::processLocale(), QStringLiteral("pt_BR"));
    for (int i = 0; i < 3; ++i) {
        qputenv(names[i], saved.at(i));
    }
}

TEST(DesktopEntryFile, UnsoundLinesAreLeftOutAndTheRestIsRead)
{
    QByteArray data("Orphan=before any group\n"
                    "[Desktop Entry]\n"
                    "Name=Caf\xE9\n" // Latin-1, not UTF-8
                    "Name=Caf\xC3\xA9\n"
                    "Comment=has a NUL byte\n"
                    "Comment=clean\n"
                    "Keywords\n"
                    "=no key\n"
                    "Bad Key=space in the key\n"
                    "Icon[de=unclosed locale\n"
                    "Exec=ok\n"
                    "[Broken Group\n"
                    "Type=below a broken header\n"
                    "[Other]\n"
                    "Type=fine\n",
                    -1);
    data.insert(data.indexOf("Exec="), "Huge=" + QByteArray(DesktopEntryFile::MaximumLineLength, 'x') + "\n");
    data.replace("NUL", QByteArray(1, '\0'));
    const DesktopEntryFile file = parsed(data);
    EXPECT_EQ(file.string(QStringLiteral("Name")), QStringLiteral("Café"));
    EXPECT_EQ(file.string(QStringLiteral("Comment")), QStringLiteral("clean"));
    EXPECT_EQ(file.string(QStringLiteral("Exec")), QStringLiteral("ok"));
    for (const char* missing : {"Orphan", "Keywords", "Bad Key", "Icon[de", "Huge", "Type"}) {
        EXPECT_FALSE(file.hasKey(QString::fromLatin1(missing))) << missing;
    }
    EXPECT_EQ(file.groups(), QStringList({QStringLiteral("Desktop Entry"), QStringLiteral("Other")}));
    EXPECT_EQ(file.string(QStringLiteral("Type"), QStringLiteral("Other")), QStringLiteral("fine"));
}

TEST(DesktopEntryFile, RefusesFilesWithoutTheGroupOrTooLarge)
{
    const QByteArray refused[] = {
        QByteArray(),
        "Type=Application\nName=No group\n",
        "[Desktop Entry\nName=Unclosed header\n",
        "[desktop entry]\nName=Wrong case\n",
        "[Desktop Entry]\n" + QByteArray(DesktopEntryFile::MaximumSize, '#'),
    };
    for (const QByteArray& data : refused) {
        QString error;
        EXPECT_FALSE(DesktopEntryFile::parse(data, &error).has_value()) << data.left(40).toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    const std::optional<DesktopEntryFile> theme
        = DesktopEntryFile::parse("[Icon Theme]\nName=Moor\n", &error, QStringLiteral("Icon Theme"));
    ASSERT_TRUE(theme.has_value()) << error.toStdString();
    EXPECT_EQ(theme->string(QStringLiteral("Name"), QStringLiteral("Icon Theme")), QStringLiteral("Moor"));
}

TEST(DesktopEntryFile, ReadingFilesReportsWhatIsWrong)
{
    QTemporaryDir folder;
    const QString large = folder.filePath(QStringLiteral("large.desktop"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nName=Large\n");
    file.write(QByteArray(DesktopEntryFile::MaximumSize, '#'));
    file.close();
    QString error;
    EXPECT_FALSE(DesktopEntryFile::read(large, &error).has_value());
    EXPECT_TRUE(error.contains(large));
    for (const QString& path : {folder.filePath(QStringLiteral("missing.desktop")), folder.path()}) {
        error.clear();
        EXPECT_FALSE(DesktopEntryFile::read(path, &error).has_value());
        EXPECT_TRUE(error.contains(path));
    }
}

} // namespace
