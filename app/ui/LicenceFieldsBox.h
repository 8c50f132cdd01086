#pragma once

#include <QDate>
#include <QGroupBox>
#include <QHash>

class ProductEntity;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;

// The "Licence" group of the details pane: type, expiry and renewal dates, renewal period and
// price, seats, reminder lead and the archived mark of one product. Choices, dates, numbers and the
// check box reach the product as soon as they change; the price when its field finishes editing.
// Each change is one undo step. Text that LicenceFieldText refuses (a price in the wrong form, a
// renewal before the purchase) is not stored: the editor is marked and the message shows below.
class LicenceFieldsBox : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LicenceFieldsBox)

public:
    explicit LicenceFieldsBox(QWidget* parent = nullptr);
    ~LicenceFieldsBox() override;

    // Shows another product (or none); pending edits of the previous one are dropped, so commit
    // them first.
    void setProduct(ProductEntity* product);
    // The product's values in every field without a pending edit.
    void reload();
    // Writes a pending price; answers whether the product changed.
    bool commitEditing();

    QWidget* editorForKey(const QString& key) const;
    // The editors in tab order.
    QList<QWidget*> editors() const;
    // The message of the last refusal; empty when nothing is refused.
    QString refusal() const;

signals:
    // A change reached the product.
    void edited(const QString& key);

private:
    QSpinBox* addCount(const QString& key);
    QDateEdit* addDate(const QString& key);
    void buildLayout();
    bool productIsLive() const;
    void load();
    void loadPrice();
    bool commitType();
    bool commitDate(const QString& key);
    bool commitCount(const QString& key);
    bool commitPrice();
    bool commitArchived();
    void refuse(QWidget* editor, const QString& message);
    void clearRefusal(QWidget* editor);
    bool write(const QString& key, const QVariant& value);

    ProductEntity* m_product = nullptr;
    QComboBox* m_type = nullptr;
    QHash<QString, QDateEdit*> m_dates;
    QHash<QString, QSpinBox*> m_counts;
    QLineEdit* m_price = nullptr;
    QCheckBox* m_archived = nullptr;
    QLabel* m_message = nullptr;
    QHash<QWidget*, QString> m_refusals;
    bool m_loading = false;
};
