#include "ForeignEntryBuilder.h"

#include "ForeignFieldMapping.h"
#include "base/Localization.h"

ForeignEntryBuilder::ForeignEntryBuilder(const QString& title, const ForeignReadLimits& limits)
    : m_limits(limits)
{
    const QString trimmed = title.trimmed();
    m_record.title = trimmed.isEmpty() ? localizedString(QStringLiteral("ForeignImportUntitled")) : trimmed;
    checkSize(QStringLiteral("Title"), title.size());
}

bool ForeignEntryBuilder::checkSize(const QString& label, qsizetype size)
{
    if (size <= m_limits.maximumFieldSize) {
        return true;
    }
    if (!m_error) {
        m_error = localizedFormat(QStringLiteral("ForeignImportFieldTooLargeFormat"), {label, m_record.title});
    }
    return false;
}

void ForeignEntryBuilder::addField(const QString& label, const QString& value)
{
    if (!checkSize(label, value.size()) || value.trimmed().isEmpty()) {
        return;
    }
    if (ForeignFieldMapping::isLicenceLabel(label)) {
        m_licenceField = true;
    }
    ForeignFieldMapping::apply(m_record, label.trimmed(), value);
}

void ForeignEntryBuilder::addUnmapped(const QString& label, const QString& value)
{
    if (checkSize(label, value.size())) {
        m_record.addUnmapped(label, value);
    }
}

void ForeignEntryBuilder::addWebsite(const QString& url)
{
    if (!checkSize(QStringLiteral("URL"), url.size()) || url.trimmed().isEmpty()) {
        return;
    }
    if (m_record.website.isEmpty()) {
        m_record.website = url.trimmed();
    } else {
        m_record.addUnmapped(QStringLiteral("URL"), url.trimmed());
    }
}

void ForeignEntryBuilder::setPassword(const QString& password)
{
    if (checkSize(QStringLiteral("Password"), password.size())) {
        m_password = password;
    }
}

void ForeignEntryBuilder::setNotes(const QString& notes)
{
    if (!checkSize(QStringLiteral("Notes"), notes.size())) {
        return;
    }
    m_record.notes = notes;
    if (ForeignFieldMapping::applyNoteLines(m_record, notes)) {
        m_licenceField = true;
    }
}

void ForeignEntryBuilder::addAttachment(const QString& fileName, const QByteArray& bytes, QStringList& warnings)
{
    const QString name = fileName.trimmed().isEmpty() ? QStringLiteral("attachment") : fileName.trimmed();
    if (bytes.size() > m_limits.maximumAttachmentSize) {
        warnings.append(localizedFormat(QStringLiteral("ForeignImportAttachmentTooLargeFormat"),
                                        {name, m_record.title, QString::number(m_limits.maximumAttachmentSize)}));
        return;
    }
    m_record.attachments.append({name, bytes});
}

std::optional<QString> ForeignEntryBuilder::finishInto(ForeignReadResult& result)
{
    if (m_error) {
        return m_error;
    }
    if (isLicence()) {
        result.records.append(finish());
    } else {
        ++result.skippedNotLicence;
    }
    return std::nullopt;
}

ForeignRecord ForeignEntryBuilder::finish()
{
    if (!m_password.trimmed().isEmpty()) {
        if (m_licenceKind && m_record.serialNumber.isEmpty()) {
            m_record.serialNumber = m_password.trimmed();
        } else {
            m_record.addUnmapped(QStringLiteral("Password"), m_password);
        }
    }
    return m_record;
}
