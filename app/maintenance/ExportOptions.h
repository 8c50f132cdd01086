#pragma once

#include "model/ExportField.h"

#include <QString>

class UserPreferences;

// The choices of the delimited export: the delimiter (comma, tab or a custom text, one of them at
// a time), whether a header line comes first, and which fields are written in which order. The
// fields start from the "ZRActiveExportValuesDefaultsKey" preference and go back into it after an
// export.
class ExportOptions
{
public:
    // `prefs` may be null: then no field is active and nothing is remembered.
    explicit ExportOptions(UserPreferences* prefs);
    ExportOptions(const ExportOptions&) = delete;
    ExportOptions& operator=(const ExportOptions&) = delete;

    // The three delimiter options form a radio group: setting one sets the other two to the opposite.
    bool exportAsCommaSeparated() const { return m_delimiterChoice == Delimiter::Comma; }
    bool exportAsTabDelimited() const { return m_delimiterChoice == Delimiter::Tab; }
    bool exportWithCustomDelimiter() const { return m_delimiterChoice == Delimiter::Custom; }
    void setExportAsCommaSeparated(bool on);
    void setExportAsTabDelimited(bool on);
    void setExportWithCustomDelimiter(bool on);
    QString customDelimiter() const { return m_customDelimiter; }
    void setCustomDelimiter(const QString& delimiter) { m_customDelimiter = delimiter; }
    bool includeHeadersInTextExport() const { return m_includeHeaders; }
    void setIncludeHeadersInTextExport(bool on) { m_includeHeaders = on; }
    // "," / one tab / the custom text, by the options.
    QString delimiter() const;

    // The fourteen fields in their fixed order, `active` read from "ZRActiveExportValuesDefaultsKey".
    ExportFieldList exportableProductKeyPaths() const;
    // The list the options sheet shows, in the export order (made from the defaults on first use).
    ExportFieldList exportFields();
    void setExportFields(const ExportFieldList& fields);
    // Writes the `active` flags of the sheet's list back into "ZRActiveExportValuesDefaultsKey".
    void saveActiveExportFields();

    // The header line (without the line end): the labels of the active fields, quoted as they are.
    static QString headerLine(const ExportFieldList& fields, const QString& delimiter);

private:
    enum class Delimiter { Comma, Tab, Custom };
    void setDelimiterChoice(Delimiter choice, bool on);

    UserPreferences* m_prefs;
    Delimiter m_delimiterChoice = Delimiter::Comma;
    QString m_customDelimiter = QStringLiteral(";");
    bool m_includeHeaders = false;
    ExportFieldList m_fields;
    bool m_fieldsLoaded = false;
};
