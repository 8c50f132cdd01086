#include "MailProposalTable.h"

#include "base/Localization.h"

#include <QHeaderView>
#include <QLocale>

namespace {

QTableWidgetItem* readOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(text);
    return item;
}

QString noteFor(const LicenceProposal& proposal)
{
    QStringList notes;
    if (proposal.inCatalogue) {
        notes.append(localizedString(QStringLiteral("MailFinderInCatalogueNote")));
    }
    if (!proposal.duplicates.isEmpty()) {
        notes.append(localizedFormat(QStringLiteral("MailFinderDuplicatesNoteFormat"),
                                     {QString::number(proposal.duplicates.size())}));
    }
    return notes.join(QStringLiteral("; "));
}

} // namespace

MailProposalTable::MailProposalTable(QWidget* parent)
    : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("mailProposalsTable"));
    setHorizontalHeaderLabels({
        localizedString(QStringLiteral("MailFinderTitleColumn")),
        localizedString(QStringLiteral("MailFinderSerialColumn")),
        localizedString(QStringLiteral("MailFinderEmailColumn")),
        localizedString(QStringLiteral("MailFinderDateColumn")),
        localizedString(QStringLiteral("MailFinderPublisherColumn")),
        localizedString(QStringLiteral("MailFinderSubjectColumn")),
        localizedString(QStringLiteral("MailFinderFromColumn")),
        localizedString(QStringLiteral("MailFinderNoteColumn")),
    });
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(TitleColumn, 200);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == TitleColumn) {
            emit checkedCountChanged(checkedCount());
        }
    });
}

MailProposalTable::~MailProposalTable() = default;

void MailProposalTable::setProposals(const QList<LicenceProposal>& proposals)
{
    QSignalBlocker blocker(this);
    m_proposals = proposals;
    setRowCount(0);
    setRowCount(int(proposals.size()));
    for (int row = 0; row < rowCount(); ++row) {
        fillRow(row, proposals.at(row));
    }
    blocker.unblock();
    emit checkedCountChanged(checkedCount());
}

void MailProposalTable::fillRow(int row, const LicenceProposal& proposal)
{
    auto* title = new QTableWidgetItem(proposal.title);
    if (proposal.inCatalogue) {
        // Adding it again would make a second product with the same serial.
        title->setFlags(Qt::ItemIsSelectable);
        title->setCheckState(Qt::Unchecked);
    } else {
        title->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        title->setCheckState(Qt::Checked);
    }
    setItem(row, TitleColumn, title);
    setItem(row, SerialColumn, readOnlyItem(proposal.serial));
    setItem(row, EmailColumn, readOnlyItem(proposal.email));
    setItem(row, DateColumn,
            readOnlyItem(proposal.date.isValid() ? QLocale().toString(proposal.date.date(), QLocale::ShortFormat)
                                                 : QString()));
    setItem(row, PublisherColumn, readOnlyItem(proposal.publisher));
    setItem(row, SubjectColumn, readOnlyItem(proposal.subject));
    setItem(row, FromColumn, readOnlyItem(proposal.from));
    setItem(row, NoteColumn, readOnlyItem(noteFor(proposal)));
}

QList<LicenceProposal> MailProposalTable::checkedProposals() const
{
    QList<LicenceProposal> checked;
    for (int row = 0; row < rowCount() && row < m_proposals.size(); ++row) {
        const QTableWidgetItem* title = item(row, TitleColumn);
        if (!title || title->checkState() != Qt::Checked) {
            continue;
        }
        LicenceProposal proposal = m_proposals.at(row);
        const QString edited = title->text().simplified();
        if (!edited.isEmpty()) {
            proposal.title = edited;
        }
        checked.append(proposal);
    }
    return checked;
}

int MailProposalTable::checkedCount() const
{
    int count = 0;
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem* title = item(row, TitleColumn);
        count += title && title->checkState() == Qt::Checked ? 1 : 0;
    }
    return count;
}
