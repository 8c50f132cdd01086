#pragma once

#include "ForeignFormatReader.h"

// Reads the XML export of KeePass 2 and KeePassXC: <KeePassFile> with <Meta> (the attachments'
// bytes under <Binaries>, base64, gzip-compressed when Compressed="True"; the recycle bin's group)
// and <Root> with nested <Group>s of <Entry>s. An entry's <String>s are Title, UserName, Password,
// URL, Notes and custom ones (licence fields among them); <Times> says whether and when it
// expires; a <Binary> names an attachment by its reference. <History> entries and the recycle
// bin's groups are left out. Documents with a DTD are refused (entities are never expanded), and so
// are groups or elements nested deeper than the limit.
class KeePassXmlReader : public ForeignFormatReader
{
public:
    QString name() const override { return QStringLiteral("KeePass XML"); }
    bool recognises(const QByteArray& head) const override;
    ForeignReadResult read(const QByteArray& bytes, const ForeignReadLimits& limits) const override;

    // The bytes of a gzip stream, or nullopt when they are no gzip or unpack to more than `limit`
    // (then `tooLarge` is set).
    static std::optional<QByteArray> gunzip(const QByteArray& bytes, qint64 limit, bool* tooLarge);
};
