// The product services on a session of their own, without the controller, and the controller
// passing on what they announce.
#include "../../platform/desktop/RecordingLauncher.h"
#include "../../support/TemporaryUserFolders.h"
#include "../../support/TestImages.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "library/LibrarySession.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "persistence/UndoManager.h"
#include "prefs/UserDefaults.h"
#include "products/DesktopLauncherProvider.h"
#include "products/ProductApplicationCommands.h"
#include "products/ProductCommands.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"
#include "sync/SyncService.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

// Records the products a signal carries, in order (QSignalSpy cannot record entity pointers).
class ProductSignalRecorder
{
public:
    template<class Sender>
    ProductSignalRecorder(Sender* sender, void (Sender::*signal)(ProductEntity*))
    {
        QObject::connect(sender, signal, &m_receiver, [this](ProductEntity* product) { products.append(product); });
    }
    QList<ProductEntity*> products;

private:
    QObject m_receiver;
};

class ProductServicesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([](const QString&) {});
        openSession(LibrarySession::OpenMode::ReadWrite);
        m_session->initializeDefaultData();
        ASSERT_NE(m_session->managedObjectContext(), nullptr);
        ASSERT_TRUE(m_session->saveAction());
        m_desktop.setLauncher(&m_launcher);
    }
    void TearDown() override
    {
        m_session.reset();
        Log::setSink({});
    }

    void openSession(LibrarySession::OpenMode mode)
    {
        m_session.reset();
        m_session = std::make_unique<LibrarySession>(&m_ui, mode, &m_defaults);
    }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    RecordingLauncher m_launcher;
    DesktopLauncherProvider m_desktop;
    std::unique_ptr<LibrarySession> m_session;
};

TEST_F(ProductServicesTest, AddingSavesAndAnnouncesAndRemovingWaitsForTheAnswer)
{
    ProductCommands products(*m_session);
    ProductSignalRecorder added(m_session.get(), &LibrarySession::productAdded);
    QSignalSpy changed(m_session.get(), &LibrarySession::productsChanged);
    ProductEntity* product = products.addNewProduct();
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(added.products, QList<ProductEntity*> {product});
    EXPECT_FALSE(m_session->managedObjectContext()->hasChanges()) << "a new product is saved at once";

    m_ui.queueAlertAnswer(1); // Cancel
    EXPECT_FALSE(products.removeProducts({product}));
    EXPECT_FALSE(product->isDeleted());
    EXPECT_EQ(changed.size(), 0);
    m_ui.queueAlertAnswer(0); // Delete
    EXPECT_TRUE(products.removeProducts({product}));
    EXPECT_EQ(changed.size(), 1);
}

TEST_F(ProductServicesTest, RemovingSeveralNamesTheCountAndIsOneUndoStep)
{
    ProductCommands products(*m_session);
    ObjectContext* context = m_session->managedObjectContext();
    context->setUndoEnabled(true);
    QList<ProductEntity*> removed;
    for (const char* title : {"Harbor FTP", "Inkwell Notes", "Pixel Forge", "Quill"}) {
        ProductEntity* product = products.addNewProduct();
        ASSERT_NE(product, nullptr);
        product->setTitle(QString::fromUtf8(title));
        removed.append(product);
    }
    context->undoManager()->removeAllActions();

    m_ui.queueAlertAnswer(0);
    ASSERT_TRUE(products.removeProducts(removed));
    const QString question = m_ui.alerts().last().title;
    EXPECT_TRUE(question.startsWith(QStringLiteral("Delete 4 products"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("Harbor FTP, Inkwell Notes, Pixel Forge, …")))
        << "three titles, then an ellipsis: " << question.toStdString();
    for (const ProductEntity* product : removed) {
        EXPECT_TRUE(product->isDeleted());
    }

    context->undoManager()->undo();
    for (const ProductEntity* product : removed) {
        EXPECT_FALSE(product->isDeleted()) << "one undo brings every product back";
    }
    EXPECT_FALSE(context->undoManager()->canUndo());
}

TEST_F(ProductServicesTest, ARemovalThatIncludesKeymoorsOwnRecordRemovesNothing)
{
    ProductCommands products(*m_session);
    ProductEntity* other = products.addNewProduct();
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(products.removeProducts({other, m_session->ownProduct()}));
    EXPECT_FALSE(other->isDeleted());
    ASSERT_EQ(m_ui.alerts().size(), 1) << "only the notice, no question";
    EXPECT_EQ(m_ui.alerts().first().style, AlertStyle::Informational);
}

TEST_F(ProductServicesTest, AnIconDropIsOneUndoStepAndEmptyBytesChangeNothing)
{
    ProductApplicationCommands applications(*m_session, m_desktop);
    ObjectContext* context = m_session->managedObjectContext();
    context->setUndoEnabled(true);
    ProductEntity* product = ProductCommands(*m_session).addNewProduct();
    ASSERT_NE(product, nullptr);
    const QByteArray before = product->externalIcon();
    ProductSignalRecorder changed(m_session.get(), &LibrarySession::productChanged);

    EXPECT_FALSE(applications.fileDroppedImage(product, QByteArray()));
    EXPECT_TRUE(changed.products.isEmpty());
    ASSERT_TRUE(applications.fileDroppedImage(product, encodedImage(QSize(16, 16), Qt::red)));
    EXPECT_EQ(changed.products, QList<ProductEntity*> {product});
    EXPECT_NE(product->externalIcon(), before);
    context->undoManager()->undo();
    EXPECT_EQ(product->externalIcon(), before);
}

TEST_F(ProductServicesTest, OnAReadOnlySessionNoServiceChangesAnythingOrAsks)
{
    openSession(LibrarySession::OpenMode::ReadOnly);
    ProductCommands products(*m_session);
    ProductApplicationCommands applications(*m_session, m_desktop);
    ProductEntity* own = m_session->ownProduct();
    ASSERT_NE(own, nullptr);
    const QByteArray icon = own->externalIcon();

    EXPECT_EQ(products.addNewProduct(), nullptr);
    EXPECT_FALSE(products.removeProducts({own}));
    EXPECT_FALSE(applications.addAppIcon(own));
    EXPECT_FALSE(applications.removeAppIcon(own));
    EXPECT_FALSE(applications.fileDroppedImage(own, encodedImage(QSize(16, 16), Qt::blue)));
    EXPECT_FALSE(applications.fileDroppedFile(own, testDataPath("/record/Sample.app")));
    EXPECT_EQ(own->externalIcon(), icon);
    EXPECT_FALSE(m_session->managedObjectContext()->hasChanges());
    EXPECT_TRUE(m_ui.calls().isEmpty()) << m_ui.calls().join(QLatin1Char('\n')).toStdString();
}

TEST(ProductServicesFacadeTest, TheControllerPassesOnWhatItsServicesAnnounce)
{
    TemporaryUserFolders folders;
    UserDefaults defaults(folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf"));
    ScriptedUserInterface ui;
    KeymoorAppDelegate controller(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &defaults);
    controller.initializeDefaultData();
    ProductSignalRecorder added(&controller, &KeymoorAppDelegate::productAdded);
    ProductSignalRecorder changed(&controller, &KeymoorAppDelegate::productChanged);
    QSignalSpy panes(&controller, &KeymoorAppDelegate::preferencesPaneRequested);

    ProductEntity* product = controller.products().addNewProduct();
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(added.products, QList<ProductEntity*> {product});
    EXPECT_TRUE(controller.applications().fileDroppedImage(product, encodedImage(QSize(8, 8), Qt::green)));
    EXPECT_EQ(changed.products, QList<ProductEntity*> {product});
    EXPECT_FALSE(controller.sync().syncToMobile()) << "sync is off in a fresh set of preferences";
    ASSERT_EQ(panes.size(), 1);
    EXPECT_EQ(panes.first().first().toString(), QString::fromLatin1(SyncService::PreferencesPane));
}

} // namespace
