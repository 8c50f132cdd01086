#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The main window's progress sheet: a message line and an indeterminate indicator shown
// window-modally over the main window while a long operation runs, so the catalogue it writes cannot
// be edited meanwhile. It keeps no count: one stop hides it however many starts came before, and a
// stop while hidden changes nothing. The person cannot dismiss it; only the operation ends it.
class ProgressSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressSheet)

public:
    explicit ProgressSheet(QWidget* window = nullptr);
    ~ProgressSheet() override;

    // Shows the sheet with `message` (already localized); while shown, replaces the message.
    void start(const QString& message);
    void stop();

    bool isShown() const;
    QString message() const;
    bool isAnimating() const;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_message;
    QProgressBar* m_indicator;
};
