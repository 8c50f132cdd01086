#pragma once

#include "model/CurrencyCodes.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class LicenceFieldsBox;
class ProductEntity;
class ProductIconWell;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class PriceText;
class UserPreferences;

namespace Persistence {
class ObjectContext;
}

// The form of every field of one product. A field's text reaches the product when the field
// finishes editing (Return or leaving it; the multi-line fields when they lose focus), each edit one
// undo step of the context's undo manager. commitEditing() does the same for every field with
// pending text, without moving the cursor, so a save never loses what is being typed.
//
// Text that cannot be stored (a price that reads as no price, an empty title) is refused: the field
// shows the stored value again and a message under the tabs names what was typed and why.
class ProductDetailView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductDetailView)

public:
    ProductDetailView(Persistence::ObjectContext* context, UserPreferences& prefs, QWidget* parent = nullptr);
    ~ProductDetailView() override;

    // Shows another product (or none), after committing the pending edits of the one shown.
    void setProduct(ProductEntity* product);
    ProductEntity* product() const;

    // Fields without pending edits show the product's values again (after undo, redo, imports).
    void reload();
    // The currency list in the preferred order.
    void reloadCurrencies();
    // Writes every field with pending text to the product; answers whether the product changed.
    bool commitEditing();

    // Puts the cursor in the title field with its text selected, showing its page.
    void focusTitle();
    // Shows the page holding `editor` and scrolls it into view.
    void showEditor(QWidget* editor);
    // The pages of field groups (the window adds its attachments page in front).
    QTabWidget* pages() const { return m_pages; }

    // The editor of an attribute ("title", "purchasePrice", "comments", ...), for tests and focus.
    QWidget* editorForKey(const QString& key) const;
    // The refusal shown under the tabs; empty when there is none.
    QString refusal() const;
    // Whether `widget` is the last field of the page shown, after which Tab leaves the form.
    bool isLastFieldShown(const QWidget* widget) const;
    ProductIconWell* iconWell() const { return m_iconWell; }
    LicenceFieldsBox* licenceFields() const { return m_licence; }

signals:
    // An edit reached the product.
    void productEdited(const QString& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addLine(const QString& key);
    QPlainTextEdit* addText(const QString& key);
    void buildLayout();
    void addPage(QWidget* page, const QString& title);
    void setTabChain();
    void setEnabledFields(bool enabled);

    void loadField(const QString& key);
    void loadPrice();
    bool commitField(const QString& key);
    bool commitLine(const QString& key, QLineEdit* edit);
    bool commitText(const QString& key, QPlainTextEdit* edit);
    bool commitDate();
    bool commitPrice();
    bool commitCurrency();
    PriceText priceText() const;
    void refuse(const QString& message);
    bool writeValue(const QString& key, const QVariant& value);
    bool hasPendingEdit(const QString& key) const;
    bool productIsLive() const;

    Persistence::ObjectContext* m_context;
    UserPreferences& m_prefs;
    ProductEntity* m_product = nullptr;
    QHash<QString, QLineEdit*> m_lines;
    QHash<QString, QPlainTextEdit*> m_texts;
    QDateEdit* m_date = nullptr;
    QLineEdit* m_price = nullptr;
    QComboBox* m_currency = nullptr;
    ProductIconWell* m_iconWell = nullptr;
    LicenceFieldsBox* m_licence = nullptr;
    QTabWidget* m_pages = nullptr;
    QLabel* m_message = nullptr;
    CurrencyCodes m_codes;
    bool m_loading = false;
    bool m_dateEdited = false;
};
