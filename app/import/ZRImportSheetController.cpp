#include "ZRImportSheetController.h"

#include "DelimitedTextFile.h"
#include "ImportHeaderMatcher.h"
#include "ImportService.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "model/ExportField.h"
#include "model/ProductEntity.h"

ZRImportSheetController::ZRImportSheetController(QObject* parent)
    : QObject(parent)
{ }

ZRImportSheetController::~ZRImportSheetController() = default;

QStringList ZRImportSheetController::delimiters()
{
    return {QStringLiteral("Comma"), QStringLiteral("Tab"), QStringLiteral("Semicolon"), QStringLiteral("Colon"),
            QStringLiteral("Return")};
}

QStringList ZRImportSheetController::availableQuotes()
{
    return {QString(), QStringLiteral("Double Quote"), QStringLiteral("Single Quote")};
}

QList<ZRImportSheetController::KeyPathEntry> ZRImportSheetController::productKeyPaths()
{
    QList<KeyPathEntry> entries {{ProductEntity::DontImportKey, ProductEntity::DontImportKey, true}};
    for (const auto& [keyPath, labelKey] : exportableKeyPathLabelKeys()) {
        entries.append({localizedString(labelKey), keyPath, true});
    }
    return entries;
}

QStringList ZRImportSheetController::xmlTemplates()
{
    return {QStringLiteral("Keymoor (MacUpdate)"), QStringLiteral("AppShelf"), QStringLiteral("The Serial Keeper 3.3")};
}

QString ZRImportSheetController::mappingForKeyPathLabel(const QString& label)
{
    for (const KeyPathEntry& entry : productKeyPaths()) {
        if (entry.label == label) {
            return entry.keyPath;
        }
    }
    return QString();
}

QString ZRImportSheetController::labelForKeyPath(const QString& keyPath)
{
    for (const KeyPathEntry& entry : productKeyPaths()) {
        if (entry.keyPath == keyPath) {
            return entry.label;
        }
    }
    return QString();
}

void ZRImportSheetController::setImportTextFile(const QString& path)
{
    if (path != m_textFile) {
        m_textFile = path;
        refreshParsedFields();
    }
}

void ZRImportSheetController::setTextRecordDelimiter(const QString& name)
{
    if (name != m_recordDelimiter) {
        m_recordDelimiter = name;
        toggleParsedFieldsHeaderRow();
    }
}

void ZRImportSheetController::setTextFieldDelimiter(const QString& name)
{
    if (name != m_fieldDelimiter) {
        m_fieldDelimiter = name;
        toggleParsedFieldsHeaderRow();
    }
}

void ZRImportSheetController::setFieldQuote(const QString& name)
{
    if (name != m_quote) {
        m_quote = name;
        toggleParsedFieldsHeaderRow();
    }
}

void ZRImportSheetController::setImportTextHasHeaderRow(bool hasHeaderRow)
{
    m_hasHeaderRow = hasHeaderRow;
    toggleParsedFieldsHeaderRow();
}

void ZRImportSheetController::setDestination(int column, const QString& label)
{
    if (column >= 0 && column < m_parsedFields.size()) {
        m_parsedFields[column].destination = label;
    }
}

DelimitedTextOptions ZRImportSheetController::textOptions() const
{
    DelimitedTextOptions options;
    options.recordDelimiter = DelimitedTextOptions::delimiterForKey(m_recordDelimiter);
    options.fieldDelimiter = DelimitedTextOptions::delimiterForKey(m_fieldDelimiter);
    options.quote = DelimitedTextOptions::quotesForKey(m_quote);
    options.hasHeaderRow = m_hasHeaderRow;
    return options;
}

void ZRImportSheetController::readPreview()
{
    m_parsedFields.clear();
    m_headerNames.clear();
    m_previewProblem.clear();
    if (m_textFile.isEmpty()) {
        return;
    }
    QString problem;
    const std::optional<QString> text = readDelimitedTextFile(m_textFile, &problem);
    if (!text) {
        Log::write(QStringLiteral("Error raw file content:%1 error:%2").arg(m_textFile, problem));
        m_previewProblem = problem;
        return;
    }
    const DelimitedTextOptions options = textOptions();
    const DelimitedRows rows
        = scannedRowsWithRecordDelimter(*text, options.recordDelimiter, options.fieldDelimiter, options.quote);
    const qsizetype sample = m_hasHeaderRow && rows.size() >= 2 ? 1 : 0;
    for (const DelimitedField& value : rows.value(sample)) {
        m_parsedFields.append(FieldRecord {value, ProductEntity::DontImportKey});
    }
    if (m_hasHeaderRow) {
        for (const DelimitedField& name : rows.value(0)) {
            m_headerNames.append(name.value_or(QString()));
        }
    }
}

void ZRImportSheetController::refreshParsedFields()
{
    readPreview();
    matchHeaderNames(QList<bool>(m_parsedFields.size(), false));
    emit parsedFieldsChanged();
}

void ZRImportSheetController::toggleParsedFieldsHeaderRow()
{
    const QList<FieldRecord> previous = m_parsedFields;
    const QStringList previousHeaders = m_headerNames;
    readPreview();
    matchHeaderNames(keepDestinations(previous, previousHeaders));
    emit parsedFieldsChanged();
}

// Copies the destinations of the previous preview into the new one. Answers, per column, whether
// its destination is settled: one found by header name stays even when it is "Don't Import" (the
// person chose so for that column); one found by position only when it names a field.
QList<bool> ZRImportSheetController::keepDestinations(const QList<FieldRecord>& previous,
                                                      const QStringList& previousHeaders)
{
    QList<bool> decided(m_parsedFields.size(), false);
    QList<bool> taken(previous.size(), false);
    for (qsizetype column = 0; column < m_parsedFields.size(); ++column) {
        const QString name = ImportHeaderMatcher::normalised(m_headerNames.value(column));
        for (qsizetype old = 0; !name.isEmpty() && old < previousHeaders.size() && old < previous.size(); ++old) {
            if (!taken.at(old) && ImportHeaderMatcher::normalised(previousHeaders.at(old)) == name) {
                m_parsedFields[column].destination = previous.at(old).destination;
                taken[old] = decided[column] = true;
                break;
            }
        }
    }
    if (previous.size() == m_parsedFields.size()) {
        for (qsizetype column = 0; column < m_parsedFields.size(); ++column) {
            if (!decided.at(column) && !taken.at(column)
                && previous.at(column).destination != ProductEntity::DontImportKey) {
                m_parsedFields[column].destination = previous.at(column).destination;
                decided[column] = true;
            }
        }
    }
    return decided;
}

// Gives each unsettled column the field its header names, unless another column already has it.
void ZRImportSheetController::matchHeaderNames(const QList<bool>& decided)
{
    if (!m_hasHeaderRow) {
        return;
    }
    QStringList used;
    for (qsizetype column = 0; column < m_parsedFields.size(); ++column) {
        if (decided.value(column)) {
            used.append(mappingForKeyPathLabel(m_parsedFields.at(column).destination));
        }
    }
    for (qsizetype column = 0; column < m_parsedFields.size(); ++column) {
        const QString keyPath = ImportHeaderMatcher::keyPathForHeader(m_headerNames.value(column));
        if (!decided.value(column) && !keyPath.isEmpty() && !used.contains(keyPath)) {
            m_parsedFields[column].destination = labelForKeyPath(keyPath);
            used.append(keyPath);
        }
    }
}

QStringList ZRImportSheetController::importMapping() const
{
    QStringList mapping;
    for (const FieldRecord& record : m_parsedFields) {
        const QString keyPath = mappingForKeyPathLabel(record.destination);
        mapping.append(keyPath.isEmpty() ? ProductEntity::DontImportKey : keyPath);
    }
    return mapping;
}

bool ZRImportSheetController::canImport(Pane pane) const
{
    switch (pane) {
    case Pane::Text:
        return !m_textFile.isEmpty() && importMapping().contains(QStringLiteral("title"));
    case Pane::XML:
        return !m_xmlFile.isEmpty() && xmlTemplates().contains(m_xmlTemplate);
    case Pane::Keymoor:
        return !m_keymoorXMLFile.isEmpty();
    case Pane::Yojimbo:
        return true;
    }
    return false;
}

bool ZRImportSheetController::import(Pane pane, ImportService& imports,
                                     const std::function<void(const QString&, bool)>& importExportFolder)
{
    switch (pane) {
    case Pane::Text:
        if (m_textFile.isEmpty()) {
            return false;
        }
        return imports.text().startTextFileImport(m_textFile, textOptions(), importMapping(), m_overwriteData);
    case Pane::XML:
        if (m_xmlFile.isEmpty()) {
            return false;
        }
        if (m_xmlTemplate == xmlTemplates().at(0)) {
            imports.files().actionImportKeymoorPlist(m_xmlFile);
        } else if (m_xmlTemplate == xmlTemplates().at(1)) {
            imports.files().actionImportAppShelfXML(m_xmlFile);
        } else if (m_xmlTemplate == xmlTemplates().at(2)) {
            imports.files().actionImportSerialKeeperXML(m_xmlFile);
        } else {
            return false;
        }
        return true;
    case Pane::Keymoor:
        if (m_keymoorXMLFile.isEmpty() || !importExportFolder) {
            return false;
        }
        importExportFolder(m_keymoorXMLFile, m_deleteExistingData);
        return true;
    case Pane::Yojimbo:
        return imports.files().actionImportYojimboSerialNumbers(m_overwriteData);
    }
    return false;
}
