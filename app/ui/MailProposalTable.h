#pragma once

#include "attachments/MailLicenceFinder.h"

#include <QList>
#include <QTableWidget>

// The proposals of a mail scan, one row each: a check box and the editable title, then serial,
// e-mail, date, publisher, subject, sender and a note. Proposals already in the catalogue are shown
// as such and cannot be ticked; the older messages with the same serial are counted in the note.
class MailProposalTable : public QTableWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MailProposalTable)

public:
    enum Column {
        TitleColumn,
        SerialColumn,
        EmailColumn,
        DateColumn,
        PublisherColumn,
        SubjectColumn,
        FromColumn,
        NoteColumn,
        ColumnCount
    };

    explicit MailProposalTable(QWidget* parent = nullptr);
    ~MailProposalTable() override;

    void setProposals(const QList<LicenceProposal>& proposals);
    const QList<LicenceProposal>& proposals() const { return m_proposals; }
    // The ticked proposals in row order, with their titles as edited (an emptied title keeps the
    // proposed one).
    QList<LicenceProposal> checkedProposals() const;

signals:
    void checkedCountChanged(int count);

private:
    void fillRow(int row, const LicenceProposal& proposal);
    int checkedCount() const;

    QList<LicenceProposal> m_proposals;
};
