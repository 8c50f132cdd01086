// Reads fuzzed bytes as a desktop entry and as the command of one. Every input must give a file or
// an error text, never a crash, a hang or a runaway allocation. A command that splits must split
// the same way once each argument is quoted again, and filling its field codes gives a command
// line or an error text.
#include "software/DesktopEntryExec.h"
#include "software/DesktopEntryFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

QString requoted(const QList<DesktopEntryExec::Argument>& arguments)
{
    QStringList quoted;
    for (const DesktopEntryExec::Argument& argument : arguments) {
        QString text;
        for (const QChar c : argument.text) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
                text.append(QLatin1Char('\\'));
            }
            text.append(c);
        }
        quoted.append(QLatin1Char('"') + text + QLatin1Char('"'));
    }
    return quoted.join(QLatin1Char(' '));
}

void checkCommand(const QString& exec)
{
    QString error;
    const std::optional<QList<DesktopEntryExec::Argument>> arguments = DesktopEntryExec::split(exec, &error);
    if (!arguments) {
        if (error.isEmpty()) {
            std::abort();
        }
        return;
    }
    const std::optional<QList<DesktopEntryExec::Argument>> again
        = DesktopEntryExec::split(requoted(*arguments), &error);
    if (!again || again->size() != arguments->size()) {
        std::abort();
    }
    for (qsizetype i = 0; i < again->size(); ++i) {
        if (again->at(i).text != arguments->at(i).text) {
            std::abort();
        }
    }
    const DesktopEntryExec::Fields fields {{QStringLiteral("/a b"), QStringLiteral("/c")},
                                           QStringLiteral("icon"),
                                           QStringLiteral("Name"),
                                           QStringLiteral("/x.desktop")};
    error.clear();
    if (!DesktopEntryExec::expand(*arguments, fields, &error) && error.isEmpty()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<DesktopEntryFile> file = DesktopEntryFile::parse(bytes, &error);
    if (!file) {
        if (error.isEmpty()) {
            std::abort();
        }
    } else {
        for (const char* locale : {"de_CH.UTF-8@euro", "sr@latin", "C"}) {
            file->localeString(QStringLiteral("Name"), QString::fromLatin1(locale));
        }
        file->stringList(QStringLiteral("Categories"));
        file->boolean(QStringLiteral("NoDisplay"));
        checkCommand(file->string(QStringLiteral("Exec")));
    }
    if (size < 4096) {
        checkCommand(QString::fromUtf8(bytes));
    }
    return 0;
}
