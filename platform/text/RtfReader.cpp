#include "RtfReader.h"

#include "RtfTextBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray RichTextStart = QByteArrayLiteral("{\\rtf");
const QByteArray PackageStart = QByteArrayLiteral("rtfd");

qsizetype richTextStart(const QByteArray& data)
{
    qsizetype start = 0;
    if (data.startsWith("\xEF\xBB\xBF")) {
        start = 3;
    }
    while (start < data.size() && QChar::isSpace(uchar(data.at(start)))) {
        ++start;
    }
    return QByteArrayView(data).sliced(start).startsWith(RichTextStart) ? start : -1;
}

} // namespace

bool RtfReader::isRichText(const QByteArray& data)
{
    return richTextStart(data) >= 0;
}

std::optional<QString> RtfReader::readData(const QByteArray& data)
{
    m_truncated = false;
    m_error.clear();
    if (data.isEmpty()) {
        return fail(QStringLiteral("The rich text is empty."));
    }
    if (data.size() > MaximumSize) {
        return fail(QStringLiteral("The rich text is larger than %1 bytes.").arg(MaximumSize));
    }
    qsizetype start = richTextStart(data);
    if (start < 0 && data.startsWith(PackageStart)) {
        start = data.indexOf(RichTextStart);
    }
    if (start < 0) {
        return fail(QStringLiteral("The data is not rich text."));
    }
    RtfTextBuilder builder(QByteArrayView(data).sliced(start), MaximumDepth);
    switch (builder.run()) {
    case RtfTextBuilder::Outcome::TooDeep:
        return fail(QStringLiteral("The rich text nests groups deeper than %1 levels.").arg(MaximumDepth));
    case RtfTextBuilder::Outcome::Truncated:
        m_truncated = true;
        break;
    case RtfTextBuilder::Outcome::Complete:
        break;
    }
    return builder.text();
}

std::optional<QString> RtfReader::readFile(const QString& path)
{
    m_truncated = false;
    m_error.clear();
    const QFileInfo info(path);
    const QString documentPath = info.isDir() ? QDir(path).filePath(QStringLiteral("TXT.rtf")) : path;
    QFile file(documentPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("Cannot read %1: %2").arg(documentPath, file.errorString()));
    }
    if (file.size() > MaximumSize) {
        return fail(QStringLiteral("%1 is larger than %2 bytes.").arg(documentPath).arg(MaximumSize));
    }
    const QByteArray data = file.read(MaximumSize + 1);
    if (file.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("Cannot read %1: %2").arg(documentPath, file.errorString()));
    }
    return readData(data);
}

std::optional<QString> RtfReader::fail(const QString& error)
{
    m_error = error;
    return std::nullopt;
}
