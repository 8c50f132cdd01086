#include "KeePassCsvReader.h"

#include "ForeignEntryBuilder.h"
#include "ForeignFieldMapping.h"
#include "base/Localization.h"

#include <QStringDecoder>

namespace {

const QByteArray Header = QByteArrayLiteral("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"");

QByteArray withoutByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
}

bool inRecycleBin(const QString& group)
{
    const QStringList parts = group.split(QLatin1Char('/'));
    return parts.contains(QStringLiteral("Recycle Bin"));
}

bool groupNamesLicences(const QString& group)
{
    const QStringList parts = group.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::any_of(parts.cbegin(), parts.cend(),
                       [](const QString& part) { return ForeignFieldMapping::isLicenceKind(part); });
}

} // namespace

bool KeePassCsvReader::recognises(const QByteArray& head) const
{
    return withoutByteOrderMark(head).startsWith(Header);
}

std::optional<QList<QStringList>> KeePassCsvReader::parseRows(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field.append(c);
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field.append(c);
            }
        } else if (c == u'"') {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == u'\n' || c == u'\r') {
            if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
                row.append(field);
                rows.append(row);
            }
            row.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
        row.append(field);
        rows.append(row);
    }
    return rows;
}

ForeignReadResult KeePassCsvReader::read(const QByteArray& bytes, const ForeignReadLimits& limits) const
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(withoutByteOrderMark(bytes));
    if (decoder.hasError()) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("ForeignImportNotUtf8")));
    }
    const std::optional<QList<QStringList>> rows = parseRows(text);
    if (!rows || rows->isEmpty()) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("ForeignImportCsvUnterminated")));
    }
    const QStringList header = rows->first();
    ForeignReadResult result;
    for (qsizetype r = 1; r < rows->size(); ++r) {
        const QStringList& row = rows->at(r);
        const auto column = [&row](int index) { return row.value(index); };
        if (inRecycleBin(column(0))) {
            continue;
        }
        ForeignEntryBuilder entry(column(1), limits);
        entry.setLicenceKind(groupNamesLicences(column(0)));
        entry.addUnmapped(QStringLiteral("Group"), column(0));
        entry.addUnmapped(QStringLiteral("Username"), column(2));
        entry.setPassword(column(3));
        entry.addWebsite(column(4));
        for (qsizetype c = 6; c < row.size(); ++c) {
            const QString label = header.value(c);
            if (label != u"Icon") {
                entry.addField(label.isEmpty() ? QStringLiteral("Column %1").arg(c + 1) : label, row.at(c));
            }
        }
        entry.setNotes(column(5));
        if (const std::optional<QString> error = entry.finishInto(result)) {
            return ForeignReadResult::failure(name(), *error);
        }
    }
    return result;
}
