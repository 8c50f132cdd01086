#include "ZREmailParser.h"

#include "ZREncodedWordDecoder.h"
#include "ZRSerialPatternTable.h"
#include "ZRSerialScanner.h"
#include "ZRTextScanner.h"
#include "base/KMRegex.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace {

struct Hooks
{
    QMutex mutex;
    ZREmailParser::MailReaderProvider mailReader;
    ZREmailParser::Localizer localizer;
};

Hooks& hooks()
{
    static Hooks instance;
    return instance;
}

QString escapedForPattern(const QString& literal)
{
    QString escaped;
    for (const QChar c : literal) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80)) {
            escaped.append(QLatin1Char('\\'));
        }
        escaped.append(c);
    }
    return escaped;
}

// Bytes at the end that only begin a UTF-8 character (the rest was cut off).
qsizetype incompleteUtf8Tail(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= size; ++back) {
        const auto byte = quint8(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80) {
            continue; // a continuation byte: look further back for the lead byte
        }
        const qsizetype length = byte < 0x80 ? 1 : (byte & 0xE0) == 0xC0 ? 2 : (byte & 0xF0) == 0xE0 ? 3 : 4;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

QStringList ZREmailParser::emailFilesArray()
{
    return {QStringLiteral("eml"), QStringLiteral("EML"), QStringLiteral("emlx"), QStringLiteral("EMLX")};
}

bool ZREmailParser::isEmailArchive(const QString& path)
{
    if (emailFilesArray().contains(QFileInfo(path).suffix())) {
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray bytes = file.read(ArchiveSniffSize);
    if (bytes.size() == ArchiveSniffSize && !file.atEnd()) {
        bytes.chop(incompleteUtf8Tail(bytes));
    }
    const std::optional<QString> text = ZRTextEncoding::decodeStrictly(bytes, ZRTextEncoding::UTF8);
    if (!text) {
        return false;
    }
    static const char* const names[] = {"From:", "To:", "Content-type:", "Content-Transfer-Encoding:"};
    for (const char* name : names) {
        if (!text->contains(QLatin1String(name), Qt::CaseInsensitive)) {
            return false;
        }
    }
    return true;
}

ZRTextEncoding::Id ZREmailParser::encodingFromAlias(const QString& charset)
{
    return ZRTextEncoding::encodingFromAlias(charset);
}

QString ZREmailParser::decodeString(const QString& text)
{
    return ZREncodedWordDecoder::decode(text);
}

std::optional<QString> ZREmailParser::parseEmailText(const QString& text, const QString& field, Folding folding)
{
    const KMRegex::Match match = KMRegex::find(text, QStringLiteral("(?im)^%1: *(.+)").arg(escapedForPattern(field)));
    if (!match.matched()) {
        return std::nullopt;
    }
    QString value = match.value;
    if (folding == Folding::Unfold) {
        qsizetype position = match.end;
        while (position + 1 < text.size() && text.at(position) == QLatin1Char('\n')
               && (text.at(position + 1) == QLatin1Char(' ') || text.at(position + 1) == QLatin1Char('\t'))) {
            qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), position + 1);
            if (lineEnd < 0) {
                lineEnd = text.size();
            }
            value.append(QStringView(text).mid(position + 1, lineEnd - position - 1));
            position = lineEnd;
        }
    }
    return decodeString(value);
}

qsizetype ZREmailParser::bodyStart(const QString& text)
{
    ZRTextScanner scanner(text);
    if (!scanner.scanUpToString(u"\n\n")) {
        return -1;
    }
    return scanner.location();
}

std::optional<QString> ZREmailParser::emailMessageBodyFromEmailText(const QString& text)
{
    const qsizetype start = bodyStart(text);
    if (start < 0) {
        return std::nullopt;
    }
    return text.mid(start);
}

void ZREmailParser::setDefaultMailReaderAppNameProvider(MailReaderProvider provider)
{
    QMutexLocker locker(&hooks().mutex);
    hooks().mailReader = std::move(provider);
}

std::optional<QString> ZREmailParser::defaultMailReaderAppName()
{
    MailReaderProvider provider;
    {
        QMutexLocker locker(&hooks().mutex);
        provider = hooks().mailReader;
    }
    return provider ? provider() : std::nullopt;
}

QString ZREmailParser::defaultMailReader()
{
    const std::optional<QString> name = defaultMailReaderAppName();
    return name && name->contains(QLatin1String("Outlook")) ? QStringLiteral("Microsoft Outlook")
                                                            : QStringLiteral("Apple Mail");
}

void ZREmailParser::setLocalizer(Localizer localizer)
{
    QMutexLocker locker(&hooks().mutex);
    hooks().localizer = std::move(localizer);
}

QString ZREmailParser::localizedString(const QString& key)
{
    Localizer localizer;
    {
        QMutexLocker locker(&hooks().mutex);
        localizer = hooks().localizer;
    }
    return localizer ? localizer(key) : key;
}

std::optional<QString> ZREmailParser::scanForSerialNumber(const QString& text, bool acceptFirst)
{
    Q_UNUSED(acceptFirst);
    return ZRSerialScanner::scan(text).serial;
}

const QStringList& ZREmailParser::regexPatterns()
{
    return ZRSerialPatternTable::patterns();
}
