#include "ExportSnipeItCommand.h"

#include "CliSession.h"
#include "CommandLine.h"
#include "base/FileWriting.h"
#include "import/SnipeItCsvReader.h"
#include "model/ProductEntity.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {

QString quoted(QString text)
{
    return u'"' + text.replace(u'"', u'\'') + u'"';
}

QString dateText(const QDate& date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QStringList rowOf(const ProductEntity* product)
{
    const std::optional<Persistence::Decimal> price = product->purchasePrice();
    const std::optional<int> seats = product->seats();
    return {product->title(),
            product->serialNumber(),
            product->registeredName(),
            product->registeredEmail(),
            product->registeredCompany(),
            product->publisher(),
            product->purchaseDate().isValid() ? dateText(product->purchaseDate().date()) : QString(),
            price ? price->toString() : QString(),
            product->purchaseOrderNumber(),
            dateText(product->expiryDate()),
            seats ? QString::number(*seats) : QString(),
            QStringLiteral("Software"),
            product->commentsString()};
}

QString line(const QStringList& fields)
{
    QStringList quotedFields;
    for (const QString& field : fields) {
        quotedFields.append(quoted(field));
    }
    return quotedFields.join(u',') + QStringLiteral("\r\n");
}

} // namespace

CommandOptions ExportSnipeItCommand::options()
{
    return CommandOptions(QStringLiteral("export snipeit"), {},
                          {{QStringLiteral("FILE"), QStringLiteral("the file to write")}});
}

QByteArray ExportSnipeItCommand::csv(QList<const ProductEntity*> products)
{
    std::stable_sort(products.begin(), products.end(), [](const ProductEntity* a, const ProductEntity* b) {
        return a->title().compare(b->title(), Qt::CaseInsensitive) < 0;
    });
    QString text = line(SnipeItCsvReader::importColumns());
    for (const ProductEntity* product : std::as_const(products)) {
        text += line(rowOf(product));
    }
    return text.toUtf8();
}

int ExportSnipeItCommand::run(const QStringList& words, CliStreams& streams)
{
    const std::optional<CommandArguments> parsed = options().parse(words, streams.err);
    if (!parsed) {
        return 2;
    }
    if (parsed->positional().size() != 1 || parsed->positional().first().isEmpty()) {
        return parsed->usageError(streams.err);
    }
    const QString file = QFileInfo(parsed->positional().first()).absoluteFilePath();
    CliSession session(streams, KeymoorAppDelegate::OpenMode::ReadOnly);
    if (!session.open()) {
        return 1;
    }
    const QList<ProductEntity*> products = session.products();
    QString error;
    if (!FileWriting::writeData(csv({products.begin(), products.end()}), file, &error)) {
        streams.err << "keymoor: " << file << ": " << error << Qt::endl;
        return 1;
    }
    streams.out << "Exported " << products.size() << " product(s) to " << file << Qt::endl;
    return 0;
}
