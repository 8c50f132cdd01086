#include "DelimitedExportSheet.h"

#include "base/Localization.h"
#include "maintenance/ZRDataMigrator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int KeyPathRole = Qt::UserRole + 1;
}

DelimitedExportSheet::DelimitedExportSheet(ZRDataMigrator* migrator, QWidget* window)
    : QDialog(window)
    , m_migrator(migrator)
    , m_list(new QListWidget(this))
    , m_comma(new QRadioButton(localizedString(QStringLiteral("DelimitedExportCommaButton")), this))
    , m_tab(new QRadioButton(localizedString(QStringLiteral("DelimitedExportTabButton")), this))
    , m_custom(new QRadioButton(localizedString(QStringLiteral("DelimitedExportOtherDelimiterButton")), this))
    , m_customText(new QLineEdit(this))
    , m_header(new QCheckBox(localizedString(QStringLiteral("DelimitedExportHeaderLineCheckBox")), this))
{
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    m_list->setObjectName(QStringLiteral("fieldList"));
    m_comma->setObjectName(QStringLiteral("commaButton"));
    m_tab->setObjectName(QStringLiteral("tabButton"));
    m_custom->setObjectName(QStringLiteral("customButton"));
    m_customText->setObjectName(QStringLiteral("customDelimiterField"));
    m_header->setObjectName(QStringLiteral("headerBox"));
    setWindowTitle(localizedString(QStringLiteral("DelimitedExportTitle")));
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    for (const ExportField& field : migrator->exportFields()) {
        auto* item = new QListWidgetItem(field.label, m_list);
        item->setData(KeyPathRole, field.keyPath);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setCheckState(field.active ? Qt::Checked : Qt::Unchecked);
    }
    auto* group = new QButtonGroup(this);
    for (QRadioButton* button : {m_comma, m_tab, m_custom}) {
        group->addButton(button);
    }
    m_comma->setChecked(migrator->exportAsCommaSeparated());
    m_tab->setChecked(migrator->exportAsTabDelimited());
    m_custom->setChecked(migrator->exportWithCustomDelimiter());
    m_customText->setText(migrator->customDelimiter());
    m_customText->setEnabled(m_custom->isChecked());
    connect(m_custom, &QRadioButton::toggled, m_customText, &QLineEdit::setEnabled);
    m_header->setChecked(migrator->includeHeadersInTextExport());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(localizedString(QStringLiteral("DelimitedExportExportButton")));
    buttons->button(QDialogButtonBox::Cancel)->setText(localizedString(QStringLiteral("CancelButton")));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        applyToMigrator();
        done(1);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(0); });

    auto* separator = new QGroupBox(localizedString(QStringLiteral("DelimitedExportSeparatorGroup")), this);
    auto* custom = new QHBoxLayout;
    custom->addWidget(m_custom);
    custom->addWidget(m_customText, 1);
    auto* separators = new QVBoxLayout(separator);
    separators->addWidget(m_comma);
    separators->addWidget(m_tab);
    separators->addLayout(custom);

    auto* listLabel = new QLabel(localizedString(QStringLiteral("DelimitedExportFieldsLabel")), this);
    listLabel->setBuddy(m_list);
    listLabel->setWordWrap(true);
    // Sizes follow the font, so the sheet keeps its proportions at any scale: the list shows a
    // good part of the fields and is wide enough for the longest label.
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    m_list->setMinimumSize(22 * em, 8 * m_list->sizeHintForRow(0) + 2 * m_list->frameWidth());
    m_customText->setMinimumWidth(4 * em);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(separator);
    layout->addWidget(m_header);
    layout->addWidget(buttons);
    resize(std::max(sizeHint().width(), 36 * em), sizeHint().height() + 6 * m_list->sizeHintForRow(0));
}

DelimitedExportSheet::~DelimitedExportSheet() = default;

ExportFieldList DelimitedExportSheet::fields() const
{
    ExportFieldList list;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        list.append(ExportField {item->text(), item->data(KeyPathRole).toString(), item->checkState() == Qt::Checked});
    }
    return list;
}

void DelimitedExportSheet::applyToMigrator()
{
    m_migrator->setExportFields(fields());
    m_migrator->setCustomDelimiter(m_customText->text());
    if (m_tab->isChecked()) {
        m_migrator->setExportAsTabDelimited(true);
    } else if (m_custom->isChecked() && !m_customText->text().isEmpty()) {
        m_migrator->setExportWithCustomDelimiter(true);
    } else {
        m_migrator->setExportAsCommaSeparated(true);
    }
    m_migrator->setIncludeHeadersInTextExport(m_header->isChecked());
}
