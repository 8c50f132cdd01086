#include "KeePassXmlReader.h"

#include "ForeignEntryBuilder.h"
#include "ForeignFieldMapping.h"
#include "base/Localization.h"

#include <QDateTime>
#include <QHash>
#include <QXmlStreamReader>
#include <QtEndian>

#include <zlib.h>

namespace {

struct Binary
{
    QByteArray bytes;
    bool tooLarge = false;
};

// An attachment reference of an entry, resolved once the whole file is read.
struct PendingEntry
{
    ForeignEntryBuilder entry;
    QString title;
    QList<QPair<QString, QString>> attachments; // file name, binary ID
};

// KeePass writes expiry times as ISO text; inside databases of format 4 they are base64 of the
// seconds since 0001-01-01 (little-endian).
QDate expiryDate(const QString& text)
{
    const QDate iso = ForeignFieldMapping::parseDate(text);
    if (iso.isValid()) {
        return iso;
    }
    const QByteArray raw = QByteArray::fromBase64(text.toLatin1());
    if (raw.size() != 8) {
        return {};
    }
    const qint64 seconds = qFromLittleEndian<qint64>(raw.constData());
    const QDateTime start(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    return start.addSecs(seconds).date();
}

class Parser
{
public:
    Parser(const QByteArray& bytes, const ForeignReadLimits& limits)
        : m_xml(bytes)
        , m_limits(limits)
    { }

    ForeignReadResult run(const QString& format);

private:
    bool next();
    void readMeta();
    void readBinary();
    void readGroup(const QStringList& path);
    void readEntry(const QStringList& path);
    void readTimes(ForeignEntryBuilder& entry);
    void skip();
    void fail(const QString& error)
    {
        if (!m_error) {
            m_error = error;
        }
    }
    bool failed() const { return m_error.has_value() || m_xml.hasError(); }

    QXmlStreamReader m_xml;
    ForeignReadLimits m_limits;
    int m_depth = 0;
    QString m_recycleBin;
    QHash<QString, Binary> m_binaries;
    QList<PendingEntry> m_entries;
    QStringList m_warnings;
    int m_skipped = 0;
    std::optional<QString> m_error;
};

// Reads to the next start element of the current element; false at its end or on an error. A DTD
// fails the document.
bool Parser::next()
{
    while (!failed()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference) {
            fail(localizedString(QStringLiteral("ForeignImportXmlDtdRefused")));
            return false;
        }
        if (token == QXmlStreamReader::StartElement) {
            if (++m_depth > m_limits.maximumDepth) {
                fail(localizedFormat(QStringLiteral("ForeignImportTooDeepFormat"),
                                     {QString::number(m_limits.maximumDepth)}));
                return false;
            }
            return true;
        }
        if (token == QXmlStreamReader::EndElement) {
            --m_depth;
            return false;
        }
        if (token == QXmlStreamReader::EndDocument || token == QXmlStreamReader::Invalid) {
            return false;
        }
    }
    return false;
}

// Skips the current element and everything in it.
void Parser::skip()
{
    while (next()) {
        skip();
    }
}

QString elementText(QXmlStreamReader& xml, int& depth)
{
    const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    --depth;
    return text;
}

ForeignReadResult Parser::run(const QString& format)
{
    if (next() && m_xml.name() == u"KeePassFile") {
        while (next()) {
            if (m_xml.name() == u"Meta") {
                readMeta();
            } else if (m_xml.name() == u"Root") {
                while (next()) {
                    if (m_xml.name() == u"Group") {
                        readGroup({});
                    } else {
                        skip();
                    }
                }
            } else {
                skip();
            }
        }
    } else if (!failed()) {
        fail(localizedString(QStringLiteral("ForeignImportNotKeePass")));
    }
    if (m_xml.hasError() && !m_error) {
        fail(localizedFormat(QStringLiteral("ForeignImportXmlErrorFormat"),
                             {m_xml.errorString(), QString::number(m_xml.lineNumber())}));
    }
    if (m_error) {
        return ForeignReadResult::failure(format, *m_error);
    }
    ForeignReadResult result;
    for (PendingEntry& pending : m_entries) {
        for (const auto& [fileName, id] : std::as_const(pending.attachments)) {
            const auto binary = m_binaries.constFind(id);
            if (binary == m_binaries.constEnd()) {
                m_warnings.append(
                    localizedFormat(QStringLiteral("ForeignImportAttachmentUnreadableFormat"), {fileName}));
            } else if (binary->tooLarge) {
                m_warnings.append(
                    localizedFormat(QStringLiteral("ForeignImportAttachmentTooLargeFormat"),
                                    {fileName, pending.title, QString::number(m_limits.maximumAttachmentSize)}));
            } else {
                pending.entry.addAttachment(fileName, binary->bytes, m_warnings);
            }
        }
        result.records.append(pending.entry.finish());
    }
    result.warnings = m_warnings;
    result.skippedNotLicence = m_skipped;
    return result;
}

void Parser::readMeta()
{
    while (next()) {
        if (m_xml.name() == u"RecycleBinUUID") {
            m_recycleBin = elementText(m_xml, m_depth);
        } else if (m_xml.name() == u"Binaries") {
            while (next()) {
                if (m_xml.name() == u"Binary") {
                    readBinary();
                } else {
                    skip();
                }
            }
        } else {
            skip();
        }
    }
}

void Parser::readBinary()
{
    const QString id = m_xml.attributes().value(QLatin1String("ID")).toString();
    const bool compressed
        = m_xml.attributes().value(QLatin1String("Compressed")).compare(QLatin1String("True"), Qt::CaseInsensitive)
        == 0;
    const QString text = elementText(m_xml, m_depth);
    auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return; // the entries that refer to it get a warning
    }
    Binary binary;
    if (compressed) {
        bool tooLarge = false;
        const std::optional<QByteArray> unpacked
            = KeePassXmlReader::gunzip(*decoded, m_limits.maximumAttachmentSize, &tooLarge);
        if (!unpacked && !tooLarge) {
            return;
        }
        binary.tooLarge = tooLarge;
        binary.bytes = unpacked.value_or(QByteArray());
    } else if (decoded.decoded.size() > m_limits.maximumAttachmentSize) {
        binary.tooLarge = true;
    } else {
        binary.bytes = *decoded;
    }
    m_binaries.insert(id, binary);
}

void Parser::readGroup(const QStringList& path)
{
    QStringList groupPath = path;
    bool recycled = false;
    while (next()) {
        const QString name = m_xml.name().toString();
        if (name == u"UUID") {
            recycled = !m_recycleBin.isEmpty() && elementText(m_xml, m_depth) == m_recycleBin;
        } else if (name == u"Name") {
            groupPath.append(elementText(m_xml, m_depth));
        } else if (name == u"Entry" && !recycled) {
            readEntry(groupPath);
        } else if (name == u"Group" && !recycled) {
            readGroup(groupPath);
        } else {
            skip();
        }
    }
}

void Parser::readEntry(const QStringList& path)
{
    QHash<QString, QString> strings;
    QStringList order;
    QList<QPair<QString, QString>> attachments;
    QDate expiry;
    while (next()) {
        const QString name = m_xml.name().toString();
        if (name == u"String" || name == u"Binary") {
            QString key;
            QString value;
            QString ref;
            while (next()) {
                if (m_xml.name() == u"Key") {
                    key = elementText(m_xml, m_depth);
                } else if (m_xml.name() == u"Value") {
                    ref = m_xml.attributes().value(QLatin1String("Ref")).toString();
                    value = elementText(m_xml, m_depth);
                } else {
                    skip();
                }
            }
            if (name == u"Binary") {
                attachments.append({key, ref});
            } else if (!strings.contains(key)) {
                order.append(key);
                strings.insert(key, value);
            }
        } else if (name == u"Times") {
            bool expires = false;
            QString time;
            while (next()) {
                if (m_xml.name() == u"Expires") {
                    expires = elementText(m_xml, m_depth).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
                } else if (m_xml.name() == u"ExpiryTime") {
                    time = elementText(m_xml, m_depth);
                } else {
                    skip();
                }
            }
            expiry = expires ? expiryDate(time) : QDate();
        } else if (name == u"Tags") {
            strings.insert(QStringLiteral("Tags"), elementText(m_xml, m_depth));
            order.append(QStringLiteral("Tags"));
        } else {
            skip(); // History among them: earlier versions of the entry
        }
    }
    if (failed()) {
        return;
    }
    ForeignEntryBuilder entry(strings.value(QStringLiteral("Title")), m_limits);
    entry.setLicenceKind(std::any_of(path.cbegin(), path.cend(),
                                     [](const QString& group) { return ForeignFieldMapping::isLicenceKind(group); }));
    entry.addUnmapped(QStringLiteral("Group"), path.join(QLatin1Char('/')));
    for (const QString& key : std::as_const(order)) {
        const QString value = strings.value(key);
        if (key == u"Title" || key == u"Notes") {
            continue;
        } else if (key == u"UserName") {
            entry.addUnmapped(key, value);
        } else if (key == u"Password") {
            entry.setPassword(value);
        } else if (key == u"URL") {
            entry.addWebsite(value);
        } else if (key == u"Tags") {
            entry.addUnmapped(key, value);
        } else {
            entry.addField(key, value);
        }
    }
    entry.setNotes(strings.value(QStringLiteral("Notes")));
    if (expiry.isValid()) {
        entry.setExpiry(expiry);
    }
    if (entry.error()) {
        fail(*entry.error());
    } else if (entry.isLicence()) {
        m_entries.append({entry, strings.value(QStringLiteral("Title")), attachments});
    } else {
        ++m_skipped;
    }
}

} // namespace

bool KeePassXmlReader::recognises(const QByteArray& head) const
{
    const QByteArray text = head.startsWith("\xEF\xBB\xBF") ? head.mid(3).trimmed() : head.trimmed();
    return text.startsWith('<') && text.contains("<KeePassFile");
}

ForeignReadResult KeePassXmlReader::read(const QByteArray& bytes, const ForeignReadLimits& limits) const
{
    return Parser(bytes, limits).run(name());
}

std::optional<QByteArray> KeePassXmlReader::gunzip(const QByteArray& bytes, qint64 limit, bool* tooLarge)
{
    z_stream stream {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    QByteArray output;
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            break;
        }
        output.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (output.size() > limit) {
            *tooLarge = true;
            status = Z_MEM_ERROR;
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        return std::nullopt;
    }
    return output;
}
