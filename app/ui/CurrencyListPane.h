#pragma once

#include "CurrencyPaneList.h"

#include <QPointer>
#include <QWidget>

class KeymoorAppDelegate;
class QLabel;
class QLineEdit;
class QTableWidget;

// The currency list of the General preferences: each currency's symbol and ISO code (the code is
// edited in place), a symbol or code to add (its code guessed as it is typed, and editable), and
// Remove, Move Up and Move Down for the chosen one. A refused edit shows why below the list.
class CurrencyListPane : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CurrencyListPane)

public:
    explicit CurrencyListPane(KeymoorAppDelegate* delegate, QWidget* parent = nullptr);
    ~CurrencyListPane() override;

    // Reads the currencies again (the preferences window calls this each time the pane shows).
    void reload();

private:
    CurrencyPaneList list() const;
    void buildLayout();
    void addTyped();
    void removeChosen();
    void moveChosen(int offset);
    void codeEdited(int row, int column);
    // Shows the outcome of an edit: the list again, and the message of a refused one.
    void finish(bool done, const QString& error, int chosenRow);

    QPointer<KeymoorAppDelegate> m_delegate;
    QTableWidget* m_table = nullptr;
    QLineEdit* m_symbol = nullptr;
    QLineEdit* m_code = nullptr;
    QLabel* m_message = nullptr;
    bool m_loading = false;
};
