#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The main window's progress sheet: a message line and an indeterminate indicator shown
// window-modally over the main window while a long operation runs, so the catalogue it writes cannot
// be edited meanwhile. It keeps no count: one stop hides it however many starts came before, and a
// stop while hidden changes nothing. The person cannot dismiss it; only the operation ends it, or
// asks to be cancelled through the Cancel button it may offer.
class ProgressSheet : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressSheet)

public:
    explicit ProgressSheet(QWidget* window = nullptr);
    ~ProgressSheet() override;

    // Shows the sheet with `message` (already localized); while shown, replaces the message.
    void start(const QString& message);
    // Hides the sheet and its Cancel button.
    void stop();
    // While shown, offers a Cancel button that runs `cancel` once and then shows
    // `cancellingMessage` until the operation stops the sheet.
    void offerCancel(std::function<void()> cancel, const QString& cancellingMessage);

    bool isShown() const;
    QString message() const;
    bool isAnimating() const;
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cancelClicked();

    QLabel* m_message;
    QProgressBar* m_indicator;
    QPushButton* m_cancel;
    std::function<void()> m_cancelAction;
    QString m_cancellingMessage;
};
