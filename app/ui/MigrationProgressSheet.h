#pragma once

#include "maintenance/MigrationProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;

// The progress sheet of the library maintenance: a message line, a progress bar and four counters
// (products, attachments, failed products, failed attachments; the failure counters appear with
// their first failure). Over the main window it is window-modal, so the catalogue cannot be edited
// while an export or import runs; without a window it is the free-standing window of the start-up
// upgrade. Only the operation ends it.
class MigrationProgressSheet : public QDialog, public MigrationProgress
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MigrationProgressSheet)

public:
    explicit MigrationProgressSheet(QWidget* window = nullptr);
    ~MigrationProgressSheet() override;

    void show(const QString& message) override;
    void setMessage(const QString& message) override;
    void resetBar(int maximum) override;
    void stepBar() override;
    void resetCounters() override;
    void setCounter(Counter counter, int value) override;
    void hide() override;

    QString message() const;
    int counterValue(Counter counter) const;
    bool isCounterVisible(Counter counter) const;

public slots:
    void reject() override;

private:
    QLabel* m_message;
    QProgressBar* m_bar;
    QLabel* m_counterLabels[4];
    QLabel* m_counterValues[4];
};
