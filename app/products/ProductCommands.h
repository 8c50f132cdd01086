#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class LibrarySession;
class ProductEntity;
struct ZRRegistrationInfo;

// The commands on products as records: adding, removing, copying their values to the clipboard and
// writing scanned registration data into them. The session announces the changes.
class ProductCommands
{
    Q_DISABLE_COPY_MOVE(ProductCommands)

public:
    explicit ProductCommands(LibrarySession& session);

    // A new product, saved, for the person to fill in. Null without a writable library.
    ProductEntity* addNewProduct();
    // Asks for confirmation, then deletes the products (never Keymoor's own record: that is refused
    // with a notice). Answers whether anything was removed.
    bool removeProducts(const QList<ProductEntity*>& products);

    // Puts the product's value for `key` on the clipboard as plain text (a serial number marked
    // sensitive, so clipboard managers do not keep it).
    void copyProductKeyStringValueToClipboard(const ProductEntity* product, const QString& key);
    void copySerialToClipboard(const ProductEntity* product);
    void copyRegisteredNameToClipboard(const ProductEntity* product);
    void copyRegisteredEmailToClipboard(const ProductEntity* product);

    // Writes what a scanned purchase e-mail gave into the product: asks first when the person wants
    // that and the product has a serial number, then sets the serial, the registered e-mail and the
    // purchase date (each only when found), and copies the serial when "Auto Copy Serial" is on.
    // Answers whether the product was changed.
    bool applyRegistrationInfo(ProductEntity* product, const ZRRegistrationInfo& info);

private:
    QString deleteQuestion(const ProductEntity* first) const;
    // The question for several products: their count and the first titles.
    static QString deleteSeveralQuestion(const QList<ProductEntity*>& products);
    void showOwnProductNotice() const;

    LibrarySession& m_session;
};
