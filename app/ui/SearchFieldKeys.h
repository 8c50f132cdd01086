#pragma once

#include <QObject>

class QAbstractItemView;
class QLineEdit;

// The keys of the search field: Escape clears the search; Down, Return and Enter move into the
// results, selecting the first one when none is selected.
class SearchFieldKeys : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchFieldKeys)

public:
    SearchFieldKeys(QLineEdit* field, QAbstractItemView* results);
    ~SearchFieldKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enterResults();

    QLineEdit* m_field;
    QAbstractItemView* m_results;
};
