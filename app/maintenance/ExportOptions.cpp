#include "maintenance/ExportOptions.h"

#include "base/Localization.h"
#include "prefs/UserPreferences.h"

ExportOptions::ExportOptions(UserPreferences* prefs)
    : m_prefs(prefs)
{ }

void ExportOptions::setDelimiterChoice(Delimiter choice, bool on)
{
    if (on) {
        m_delimiterChoice = choice;
    } else if (m_delimiterChoice == choice) {
        // Turning one option off turns the others on; the first of them takes the choice.
        m_delimiterChoice = choice == Delimiter::Comma ? Delimiter::Tab : Delimiter::Comma;
    }
}

void ExportOptions::setExportAsCommaSeparated(bool on)
{
    setDelimiterChoice(Delimiter::Comma, on);
}

void ExportOptions::setExportAsTabDelimited(bool on)
{
    setDelimiterChoice(Delimiter::Tab, on);
}

void ExportOptions::setExportWithCustomDelimiter(bool on)
{
    setDelimiterChoice(Delimiter::Custom, on);
}

QString ExportOptions::delimiter() const
{
    switch (m_delimiterChoice) {
    case Delimiter::Comma:
        return QStringLiteral(",");
    case Delimiter::Tab:
        return QStringLiteral("\t");
    case Delimiter::Custom:
        break;
    }
    return m_customDelimiter;
}

ExportFieldList ExportOptions::exportableProductKeyPaths() const
{
    const QVariantMap active = m_prefs ? m_prefs->activeExportValues() : QVariantMap();
    ExportFieldList fields;
    for (const auto& [keyPath, labelKey] : exportableKeyPathLabelKeys()) {
        fields.append(ExportField {localizedString(labelKey), keyPath, active.value(keyPath, false).toBool()});
    }
    return fields;
}

ExportFieldList ExportOptions::exportFields()
{
    if (!m_fieldsLoaded) {
        m_fields = exportableProductKeyPaths();
        m_fieldsLoaded = true;
    }
    return m_fields;
}

void ExportOptions::setExportFields(const ExportFieldList& fields)
{
    m_fields = fields;
    m_fieldsLoaded = true;
}

void ExportOptions::saveActiveExportFields()
{
    if (!m_prefs) {
        return;
    }
    QVariantMap active = m_prefs->activeExportValues();
    for (const ExportField& field : exportFields()) {
        active.insert(field.keyPath, field.active);
    }
    m_prefs->setActiveExportValues(active);
}

QString ExportOptions::headerLine(const ExportFieldList& fields, const QString& delimiter)
{
    QString line;
    bool first = true;
    for (const ExportField& field : fields) {
        if (!field.active) {
            continue;
        }
        if (!first) {
            line += delimiter;
        }
        first = false;
        line += u'"' + field.label + u'"';
    }
    return line;
}
