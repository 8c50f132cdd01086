#pragma once

#include "AttachmentEntity.h"

// An attached e-mail message ("EmailReceipt").
class AttachedEmail : public AttachmentEntity
{
public:
    QString from() const { return stringValue(QStringLiteral("from")); }
    bool setFrom(const QString& from) { return setValue(QStringLiteral("from"), from); }
    QString to() const { return stringValue(QStringLiteral("to")); }
    bool setTo(const QString& to) { return setValue(QStringLiteral("to"), to); }
    // The string-encoding number the raw message bytes were stored in.
    int encoding() const { return value(QStringLiteral("encoding")).toInt(); }
    bool setEncoding(int encoding) { return setValue(QStringLiteral("encoding"), encoding); }
};
