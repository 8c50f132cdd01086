#pragma once

#include "ForeignFormatReader.h"

#include <QString>
#include <QStringList>

#include <optional>

// Turns one password-manager entry into a record, with the rules every such format shares:
// - labelled fields go through ForeignFieldMapping (a field whose product field is taken, or that
//   names none, is kept among the unmapped fields);
// - the first web address becomes the website, further ones are kept unmapped;
// - the entry's password becomes the serial number when the entry is a licence by its kind (its
//   folder, group or type names licences) and has no serial field; otherwise it is kept unmapped;
// - "Label: value" lines of the notes fill fields that are still empty; the notes stay whole;
// - an entry is a licence when it has a licence field (serial, registration) with a value, a
//   licence line in its notes, or a licence kind;
// - a text longer than the field limit refuses the whole file, an attachment over its limit is
//   skipped with a warning.
class ForeignEntryBuilder
{
public:
    ForeignEntryBuilder(const QString& title, const ForeignReadLimits& limits);

    void setLicenceKind(bool licenceKind) { m_licenceKind = m_licenceKind || licenceKind; }
    void addField(const QString& label, const QString& value);
    void addUnmapped(const QString& label, const QString& value);
    void addWebsite(const QString& url);
    void setPassword(const QString& password);
    void setNotes(const QString& notes);
    void setExpiry(const QDate& date) { m_record.expiryDate = date; }
    // Adds the file, or a warning (to `warnings`) when it is larger than the limit.
    void addAttachment(const QString& fileName, const QByteArray& bytes, QStringList& warnings);

    bool isLicence() const { return m_licenceKind || m_licenceField; }
    // Set once a text was over the limit: the reader gives up with this error.
    const std::optional<QString>& error() const { return m_error; }
    ForeignRecord finish();
    // Ends the entry into `result`: its record when it is a licence, else one more skipped entry.
    // Answers the error instead (adding nothing) when a text was over the limit.
    std::optional<QString> finishInto(ForeignReadResult& result);

private:
    bool checkSize(const QString& label, qsizetype size);

    ForeignRecord m_record;
    ForeignReadLimits m_limits;
    QString m_password;
    bool m_licenceKind = false;
    bool m_licenceField = false;
    std::optional<QString> m_error;
};
