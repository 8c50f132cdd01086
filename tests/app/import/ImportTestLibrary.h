#pragma once

#include "../model/AttachmentTestLibrary.h"

// The attachment tests' library, with lookups of the products an import made.
class ImportTestLibrary : public AttachmentTestLibrary
{
protected:
    QList<ProductEntity*> productsTitled(const QString& title) const
    {
        QList<ProductEntity*> found;
        const auto all = m_context->execute(Persistence::FetchRequest(QStringLiteral("Product")));
        for (Persistence::ManagedObject* object : *all) {
            auto* product = dynamic_cast<ProductEntity*>(object);
            if (product && product->title() == title) {
                found.append(product);
            }
        }
        return found;
    }

    // The one product of that title (a test failure when there are none or several).
    ProductEntity* only(const QString& title) const
    {
        const auto found = productsTitled(title);
        EXPECT_EQ(found.size(), 1) << title.toStdString();
        return found.value(0);
    }
};
