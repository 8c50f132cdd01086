#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The bar under the products list: a plus button adding a product and the count of products
// shown ("24 products", or "3 of 24 products" while a search narrows the list).
class StatusBarCount : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusBarCount)

public:
    explicit StatusBarCount(QWidget* parent = nullptr);
    ~StatusBarCount() override;

    // `shown` of `total` products are in the list.
    void setCount(int shown, int total);
    QString text() const;
    QToolButton* addButton() const { return m_add; }

    static QString countText(int shown, int total);

signals:
    void addRequested();

private:
    QToolButton* m_add;
    QLabel* m_label;
};
