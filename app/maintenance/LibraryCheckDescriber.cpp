#include "maintenance/LibraryCheckDescriber.h"

#include "base/Localization.h"
#include "maintenance/LibraryCheckReport.h"

#include <QDir>

#include <algorithm>

using Kind = LibraryCheckFinding::Kind;
using Key = LibraryCheckSnapshot::Key;
using Reason = LibraryCheckSnapshot::RecordProblem::Reason;

namespace {

QStringList sorted(const QSet<QString>& names)
{
    QStringList list(names.begin(), names.end());
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

LibraryCheckDescriber::LibraryCheckDescriber(const LibraryCheckLocation& location, const LibraryCheckSnapshot& snapshot)
    : m_location(location)
    , m_snapshot(snapshot)
{ }

void LibraryCheckDescriber::describe(LibraryCheckReport& report, const QSet<QString>& attachmentNames,
                                     const QSet<QString>& iconNames) const
{
    for (const auto& problem : m_snapshot.recordProblems(attachmentNames, iconNames)) {
        report.add(recordFinding(problem));
    }
    for (const auto& problem : m_snapshot.linkProblems()) {
        report.add(linkFinding(problem));
    }
    for (const QString& name : sorted(attachmentNames - m_snapshot.contentUuids())) {
        const QString path = QDir(m_location.attachmentsFolder).filePath(name);
        report.add({Kind::OrphanedAttachmentFile,
                    localizedFormat(QStringLiteral("CheckOrphanedAttachmentFileFormat"), {path}),
                    path,
                    {},
                    {}});
    }
    for (const QString& name : sorted(iconNames - m_snapshot.iconUuids())) {
        const QString path = QDir(m_location.iconsFolder).filePath(name);
        report.add({Kind::OrphanedIconFile,
                    localizedFormat(QStringLiteral("CheckOrphanedIconFileFormat"), {path}),
                    path,
                    {},
                    {}});
    }
}

LibraryCheckFinding LibraryCheckDescriber::recordFinding(const LibraryCheckSnapshot::RecordProblem& problem) const
{
    const Key row = problem.row;
    switch (problem.reason) {
    case Reason::FileWithoutProduct: {
        LibraryCheckFinding finding = fileFinding(
            localizedFormat(QStringLiteral("CheckFileWithoutProductFormat"), {m_snapshot.files.value(row).name}), row);
        finding.kind = Kind::UnownedRecord;
        return finding;
    }
    case Reason::FileWithoutContent:
        return fileFinding(localizedFormat(QStringLiteral("CheckFileWithoutContentFormat"),
                                           {titleOf(m_snapshot.productOfFile(row)), m_snapshot.files.value(row).name}),
                           row);
    case Reason::FileMissing:
        return fileFinding(localizedFormat(QStringLiteral("CheckMissingAttachmentFileFormat"),
                                           {titleOf(m_snapshot.productOfFile(row)), m_snapshot.files.value(row).name,
                                            contentPath(*m_snapshot.files.value(row).content)}),
                           row);
    case Reason::ContentWithoutAttachment:
        return contentFinding(
            localizedFormat(QStringLiteral("CheckContentWithoutAttachmentFormat"), {contentPath(row)}), row);
    case Reason::IconWithoutProduct: {
        LibraryCheckFinding finding
            = iconFinding(localizedFormat(QStringLiteral("CheckIconWithoutProductFormat"), {iconPath(row)}), row);
        finding.kind = Kind::UnownedRecord;
        return finding;
    }
    case Reason::IconFileMissing: {
        LibraryCheckFinding finding
            = iconFinding(localizedFormat(QStringLiteral("CheckMissingIconFileFormat"),
                                          {titleOf(m_snapshot.productOfIcon(row)), iconPath(row)}),
                          row);
        finding.kind = Kind::MissingIconFile;
        return finding;
    }
    }
    return {};
}

LibraryCheckFinding LibraryCheckDescriber::linkFinding(const LibraryCheckSnapshot::LinkProblem& problem) const
{
    LibraryCheckFinding finding = problem.dangling ? danglingFinding(problem) : mismatchFinding(problem);
    finding.kind = problem.dangling ? Kind::BrokenReference : Kind::InverseMismatch;
    return finding;
}

LibraryCheckFinding LibraryCheckDescriber::danglingFinding(const LibraryCheckSnapshot::LinkProblem& problem) const
{
    const Key row = problem.row;
    switch (problem.link) {
    case LibraryCheckLink::FileProduct:
        return fileFinding(
            localizedFormat(QStringLiteral("CheckFileProductMissingFormat"), {m_snapshot.files.value(row).name}), row);
    case LibraryCheckLink::FileContent:
        return fileFinding(localizedFormat(QStringLiteral("CheckFileContentMissingFormat"),
                                           {titleOf(m_snapshot.productOfFile(row)), m_snapshot.files.value(row).name}),
                           row);
    case LibraryCheckLink::ContentAttachment:
        return contentFinding(
            localizedFormat(QStringLiteral("CheckContentAttachmentMissingFormat"), {contentPath(row)}), row);
    case LibraryCheckLink::ProductIcon: {
        const auto* product = &*m_snapshot.products.constFind(row);
        return productFinding(localizedFormat(QStringLiteral("CheckProductIconMissingFormat"), {titleOf(product)}),
                              product);
    }
    case LibraryCheckLink::IconProduct:
        return iconFinding(localizedFormat(QStringLiteral("CheckIconProductMissingFormat"), {iconPath(row)}), row);
    }
    return {};
}

LibraryCheckFinding LibraryCheckDescriber::mismatchFinding(const LibraryCheckSnapshot::LinkProblem& problem) const
{
    const Key row = problem.row;
    switch (problem.link) {
    case LibraryCheckLink::FileProduct:
        break; // the product's list of attached files is made of the files that name it
    case LibraryCheckLink::FileContent:
        return fileFinding(localizedFormat(QStringLiteral("CheckFileContentMismatchFormat"),
                                           {titleOf(m_snapshot.productOfFile(row)), m_snapshot.files.value(row).name,
                                            contentPath(problem.target)}),
                           row);
    case LibraryCheckLink::ContentAttachment:
        return contentFinding(localizedFormat(QStringLiteral("CheckContentAttachmentMismatchFormat"),
                                              {contentPath(row), m_snapshot.files.value(problem.target).name}),
                              row);
    case LibraryCheckLink::ProductIcon: {
        const auto* product = &*m_snapshot.products.constFind(row);
        return productFinding(localizedFormat(QStringLiteral("CheckProductIconMismatchFormat"),
                                              {titleOf(product), iconPath(problem.target)}),
                              product);
    }
    case LibraryCheckLink::IconProduct:
        return iconFinding(localizedFormat(QStringLiteral("CheckIconProductMismatchFormat"),
                                           {iconPath(row), m_snapshot.products.value(problem.target).title}),
                           row);
    }
    return {};
}

LibraryCheckFinding LibraryCheckDescriber::fileFinding(const QString& message, Key file) const
{
    LibraryCheckFinding finding = productFinding(message, m_snapshot.productOfFile(file));
    finding.kind = Kind::MissingAttachmentFile;
    const auto content = m_snapshot.files.value(file).content;
    if (content && m_snapshot.contents.contains(*content)) {
        finding.path = contentPath(*content);
    }
    return finding;
}

LibraryCheckFinding LibraryCheckDescriber::contentFinding(const QString& message, Key content) const
{
    LibraryCheckFinding finding = productFinding(message, m_snapshot.productOfContent(content));
    finding.kind = Kind::UnownedRecord;
    finding.path = contentPath(content);
    return finding;
}

LibraryCheckFinding LibraryCheckDescriber::iconFinding(const QString& message, Key icon) const
{
    LibraryCheckFinding finding = productFinding(message, m_snapshot.productOfIcon(icon));
    finding.path = iconPath(icon);
    return finding;
}

LibraryCheckFinding LibraryCheckDescriber::productFinding(const QString& message,
                                                          const LibraryCheckSnapshot::Product* product)
{
    LibraryCheckFinding finding {Kind::UnownedRecord, message, {}, {}, {}};
    if (product) {
        finding.productUuid = product->uuid;
        finding.productTitle = product->title;
    }
    return finding;
}

QString LibraryCheckDescriber::titleOf(const LibraryCheckSnapshot::Product* product)
{
    return product ? product->title : localizedString(QStringLiteral("CheckUnknownProduct"));
}

QString LibraryCheckDescriber::contentPath(Key content) const
{
    const QString uuid = m_snapshot.contents.value(content).uuid;
    return uuid.isEmpty() ? QString() : QDir(m_location.attachmentsFolder).filePath(uuid);
}

QString LibraryCheckDescriber::iconPath(Key icon) const
{
    const QString uuid = m_snapshot.icons.value(icon).uuid;
    return uuid.isEmpty() ? QString() : QDir(m_location.iconsFolder).filePath(uuid);
}
