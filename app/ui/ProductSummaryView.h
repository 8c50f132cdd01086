#pragma once

#include <QWidget>

class ProductEntity;
class ProductIconWell;
class QLabel;
class QPushButton;

// The fixed-height band above the details tabs: the icon well, the title, version and publisher,
// the serial number with a Copy button, and the registered name and e-mail. It only shows; the
// fields are edited in the tabs below. With several products selected it says how many instead.
class ProductSummaryView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductSummaryView)

public:
    static constexpr int FixedHeight = 180;

    // Takes `iconWell` into its layout (it keeps its owner's connections).
    explicit ProductSummaryView(ProductIconWell* iconWell, QWidget* parent = nullptr);
    ~ProductSummaryView() override;

    // One product (or none) shown in full.
    void showProduct(const ProductEntity* product);
    // Several products selected: their count instead of one product's values.
    void showSelectionCount(int count);

    QString titleText() const;
    QPushButton* copySerialButton() const { return m_copy; }

private:
    QLabel* addValue(const QString& name, int row, const QString& labelKey);
    void copySerial();

    ProductIconWell* m_iconWell;
    QLabel* m_title;
    QLabel* m_subtitle;
    QLabel* m_serial;
    QLabel* m_name;
    QLabel* m_email;
    QPushButton* m_copy;
    QWidget* m_values;
};
