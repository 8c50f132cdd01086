#include "SnipeItCsvReader.h"

#include "ZRDelimitedTextParsing.h"
#include "base/Localization.h"

#include <QDateTime>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace {

enum class Column { Other, Title, Serial, Name, Email, Company, Publisher, Date, Price, Order, Expiry, Seats, Notes };

Column columnOf(const QString& header)
{
    static const QHash<QString, Column> columns {
        {QStringLiteral("item name"), Column::Title},       {QStringLiteral("name"), Column::Title},
        {QStringLiteral("license"), Column::Title},         {QStringLiteral("serial number"), Column::Serial},
        {QStringLiteral("serial"), Column::Serial},         {QStringLiteral("product key"), Column::Serial},
        {QStringLiteral("licensed to name"), Column::Name}, {QStringLiteral("licensed to email"), Column::Email},
        {QStringLiteral("company"), Column::Company},       {QStringLiteral("manufacturer"), Column::Publisher},
        {QStringLiteral("purchase date"), Column::Date},    {QStringLiteral("purchase cost"), Column::Price},
        {QStringLiteral("order number"), Column::Order},    {QStringLiteral("expiration date"), Column::Expiry},
        {QStringLiteral("seats"), Column::Seats},           {QStringLiteral("notes"), Column::Notes},
    };
    return columns.value(header.trimmed().toLower(), Column::Other);
}

std::optional<QString> decodedText(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text.remove(u'\r');
}

DelimitedRows rowsOf(const QString& text)
{
    return scannedRowsWithRecordDelimter(text, QStringLiteral("\n"), QStringLiteral(","), QStringLiteral("\""));
}

QStringList headerOf(const DelimitedRows& rows)
{
    QStringList header;
    for (const DelimitedField& field : rows.value(0)) {
        header.append(field.value_or(QString()).trimmed());
    }
    return header;
}

bool isLicenceHeader(const QStringList& header)
{
    QList<Column> columns;
    for (const QString& name : header) {
        columns.append(columnOf(name));
    }
    const bool only = std::any_of(header.begin(), header.end(), [](const QString& name) {
        const QString lower = name.toLower();
        return lower == u"licensed to name" || lower == u"licensed to email" || lower == u"seats";
    });
    return only && columns.contains(Column::Title) && columns.contains(Column::Serial);
}

QDate dateOf(const QString& text)
{
    for (const QString& format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-MM-dd HH:mm:ss")}) {
        const QDate date = QDateTime::fromString(text.trimmed(), format).date();
        if (date.isValid()) {
            return date;
        }
    }
    return {};
}

void setField(ForeignRecord* record, Column column, const QString& header, const QString& value)
{
    switch (column) {
    case Column::Title:
        if (record->title.isEmpty()) {
            record->title = value;
        } else {
            record->addUnmapped(header, value);
        }
        break;
    case Column::Serial:
        record->serialNumber = value;
        break;
    case Column::Name:
        record->registeredName = value;
        break;
    case Column::Email:
        record->registeredEmail = value;
        break;
    case Column::Company:
        record->registeredCompany = value;
        break;
    case Column::Publisher:
        record->publisher = value;
        break;
    case Column::Date:
        record->purchaseDate = value;
        break;
    case Column::Price:
        record->price = value;
        break;
    case Column::Order:
        record->orderNumber = value;
        break;
    case Column::Notes:
        record->notes = value;
        break;
    case Column::Expiry:
        record->expiryDate = dateOf(value);
        if (!record->expiryDate.isValid()) {
            record->addUnmapped(header, value);
        }
        break;
    case Column::Seats: {
        // A count the product can hold; anything else is kept as written.
        bool isNumber = false;
        const int seats = value.trimmed().toInt(&isNumber);
        if (isNumber && seats >= 0) {
            record->seats = seats;
        } else if (!value.trimmed().isEmpty()) {
            record->addUnmapped(header, value);
        }
        break;
    }
    case Column::Other:
        record->addUnmapped(header, value);
        break;
    }
}

} // namespace

QString SnipeItCsvReader::name() const
{
    return QStringLiteral("Snipe-IT licences CSV");
}

QStringList SnipeItCsvReader::importColumns()
{
    return {QStringLiteral("Name"),
            QStringLiteral("Serial Number"),
            QStringLiteral("Licensed To Name"),
            QStringLiteral("Licensed To Email"),
            QStringLiteral("Company"),
            QStringLiteral("Manufacturer"),
            QStringLiteral("Purchase Date"),
            QStringLiteral("Purchase Cost"),
            QStringLiteral("Order Number"),
            QStringLiteral("Expiration Date"),
            QStringLiteral("Seats"),
            QStringLiteral("Category"),
            QStringLiteral("Notes")};
}

bool SnipeItCsvReader::recognises(const QByteArray& head) const
{
    const qsizetype end = head.indexOf('\n');
    const std::optional<QString> text = decodedText(end < 0 ? head : head.left(end));
    return text && isLicenceHeader(headerOf(rowsOf(*text)));
}

ForeignReadResult SnipeItCsvReader::read(const QByteArray& bytes, const ForeignReadLimits& limits) const
{
    const std::optional<QString> text = decodedText(bytes);
    if (!text) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("ForeignImportNotUtf8")));
    }
    const DelimitedRows rows = rowsOf(*text);
    const QStringList header = headerOf(rows);
    if (!isLicenceHeader(header)) {
        return ForeignReadResult::failure(name(), localizedString(QStringLiteral("SnipeItNoHeader")));
    }
    ForeignReadResult result;
    result.format = name();
    for (qsizetype line = 1; line < rows.size(); ++line) {
        const DelimitedRow& row = rows.at(line);
        ForeignRecord record;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const QString value = row.at(column).value_or(QString()).trimmed();
            if (value.size() > limits.maximumFieldSize) {
                return ForeignReadResult::failure(
                    name(),
                    localizedFormat(QStringLiteral("SnipeItFieldTooLongFormat"),
                                    {QString::number(line + 1), QString::number(limits.maximumFieldSize)}));
            }
            if (!value.isEmpty()) {
                const QString columnName = header.value(column, QStringLiteral("Column %1").arg(column + 1));
                setField(&record, columnOf(columnName), columnName, value);
            }
        }
        if (record.title.isEmpty()) {
            if (row.size() > 1 || !row.value(0).value_or(QString()).trimmed().isEmpty()) {
                result.warnings.append(
                    localizedFormat(QStringLiteral("SnipeItRowWithoutNameFormat"), {QString::number(line + 1)}));
            }
            continue;
        }
        result.records.append(std::move(record));
    }
    return result;
}
