#pragma once

#include "DelimitedTextOptions.h"
#include "ZRDelimitedTextParsing.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class ImportService;

// The choices of the import sheet and what follows from them, without any widgets: the text
// import's delimiters, quote, header row, column preview and field mapping; the XML import's file
// and template; the export-folder import's folder and whether it replaces the catalogue; whether
// imports update products of the same title. The sheet's widgets show and set these; import()
// hands them to the importer of the chosen kind. The choices stay between showings.
class ZRImportSheetController : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZRImportSheetController)

public:
    enum class Pane { Text, XML, Keymoor, Yojimbo };

    // One column of the text preview: its value in the sample row and the label of the product
    // field it goes to ("Don't Import" at first).
    struct FieldRecord
    {
        DelimitedField source;
        QString destination;
    };

    // One product field offered for a column.
    struct KeyPathEntry
    {
        QString label;
        QString keyPath;
        bool active = true;
    };

    explicit ZRImportSheetController(QObject* parent = nullptr);
    ~ZRImportSheetController() override;

    // "Comma", "Tab", "Semicolon", "Colon", "Return".
    static QStringList delimiters();
    // "", "Double Quote", "Single Quote".
    static QStringList availableQuotes();
    // "Don't Import" and the fields of the delimited export, in the export's order.
    static QList<KeyPathEntry> productKeyPaths();
    // "Keymoor (MacUpdate)", "AppShelf", "The Serial Keeper 3.3".
    static QStringList xmlTemplates();
    static QString mappingForKeyPathLabel(const QString& label);
    // The label offered for a key path; empty for one that is not offered.
    static QString labelForKeyPath(const QString& keyPath);

    QString importTextFile() const { return m_textFile; }
    void setImportTextFile(const QString& path);
    QString textRecordDelimiter() const { return m_recordDelimiter; }
    void setTextRecordDelimiter(const QString& name);
    QString textFieldDelimiter() const { return m_fieldDelimiter; }
    void setTextFieldDelimiter(const QString& name);
    QString fieldQuote() const { return m_quote; }
    void setFieldQuote(const QString& name);
    bool importTextHasHeaderRow() const { return m_hasHeaderRow; }
    void setImportTextHasHeaderRow(bool hasHeaderRow);

    QList<FieldRecord> parsedFields() const { return m_parsedFields; }
    // The first row's values when it is a header row, one per column; empty otherwise.
    QStringList headerNames() const { return m_headerNames; }
    void setDestination(int column, const QString& label);
    // Why the preview is empty ("" when it is not or no file is chosen).
    QString previewProblem() const { return m_previewProblem; }

    bool overwriteData() const { return m_overwriteData; }
    void setOverwriteData(bool overwrite) { m_overwriteData = overwrite; }
    bool deleteExistingData() const { return m_deleteExistingData; }
    void setDeleteExistingData(bool replace) { m_deleteExistingData = replace; }
    QString importKeymoorXMLFile() const { return m_keymoorXMLFile; }
    void setImportKeymoorXMLFile(const QString& path) { m_keymoorXMLFile = path; }
    QString importXMLFile() const { return m_xmlFile; }
    void setImportXMLFile(const QString& path) { m_xmlFile = path; }
    QString selectedXMLTemplate() const { return m_xmlTemplate; }
    void setSelectedXMLTemplate(const QString& name) { m_xmlTemplate = name; }

    // Rebuilds the preview from the text file: one field record per value of the sample row (the
    // second row when the first is a header). With a header row, each column whose header names a
    // catalogue field goes to that field; the others are not imported.
    void refreshParsedFields();
    // Rebuilds the preview after the header-row option, a delimiter or the quote changed, keeping
    // what was chosen: a column goes where the column of the same header name went, or, when the
    // number of columns stayed, where the column at its position went. Columns left without a
    // field are matched to the header row.
    void toggleParsedFieldsHeaderRow();
    // The key path of each column; "Don't Import" for columns without a known destination.
    QStringList importMapping() const;

    // Whether the pane has what its import needs (a file, a template, a title column).
    bool canImport(Pane pane) const;
    // Starts the import of the pane with the current choices; the text import runs as a background
    // job. The export-folder import is left to `importExportFolder` (the window runs it under its
    // maintenance progress). Answers whether an import was started.
    bool import(Pane pane, ImportService& imports,
                const std::function<void(const QString& path, bool replace)>& importExportFolder = {});

signals:
    void parsedFieldsChanged();

private:
    DelimitedTextOptions textOptions() const;
    void readPreview();
    QList<bool> keepDestinations(const QList<FieldRecord>& previous, const QStringList& previousHeaders);
    void matchHeaderNames(const QList<bool>& decided);

    QString m_textFile;
    QString m_recordDelimiter = QStringLiteral("Return");
    QString m_fieldDelimiter = QStringLiteral("Comma");
    QString m_quote;
    bool m_hasHeaderRow = false;
    QList<FieldRecord> m_parsedFields;
    QStringList m_headerNames;
    QString m_previewProblem;
    bool m_overwriteData = true;
    bool m_deleteExistingData = false;
    QString m_keymoorXMLFile;
    QString m_xmlFile;
    QString m_xmlTemplate;
};
