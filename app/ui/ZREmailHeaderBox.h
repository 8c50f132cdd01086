#pragma once

#include <QWidget>

class AttachedEmail;
class QLabel;

// The header block above a message in the viewer: sender, subject, date and recipients on white.
class ZREmailHeaderBox : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZREmailHeaderBox)

public:
    explicit ZREmailHeaderBox(QWidget* parent = nullptr);
    ~ZREmailHeaderBox() override;

    void setEmail(const AttachedEmail& email);
    QString text() const;

private:
    QLabel* m_from = nullptr;
    QLabel* m_subject = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_to = nullptr;
};
