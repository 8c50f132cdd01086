#include "ui/AttachmentListView.h"

#include "UiTestLibrary.h"
#include "model/AttachmentEntity.h"
#include "model/AttachmentIcons.h"
#include "model/ZRAttachmentContent.h"
#include "support/WidgetLookup.h"
#include "ui/AttachmentListModel.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using DropAction = AttachmentListView::DropAction;

class AttachmentListViewTest : public ::testing::Test
{
protected:
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_scratch.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    static QImage iconImage(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

    UiTestLibrary m_library;
    ScriptedUserInterface m_ui;
    QTemporaryDir m_scratch;
};

TEST_F(AttachmentListViewTest, DropsAreAcceptedOnlyForWhatCanBeAttached)
{
    const auto withText = [](const QString& text) {
        auto data = std::make_unique<QMimeData>();
        data->setText(text);
        return data;
    };
    const auto withFiles = [](const QStringList& paths) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data->setUrls(urls);
        return data;
    };
    const QString message = QStringLiteral("From: a@example.com\nTo: b@example.com\nSubject: Key\n\nKEY-1\n");
    const QString noRecipient = QStringLiteral("From: a@example.com\nSubject: Key\n\nKEY-1\n");
    auto image = std::make_unique<QMimeData>();
    image->setImageData(QImage(2, 2, QImage::Format_RGB32));

    EXPECT_EQ(AttachmentListView::dropAction(withText(message).get(), false, true), DropAction::AttachRawEmail);
    EXPECT_EQ(AttachmentListView::dropAction(withText(noRecipient).get(), false, true), DropAction::Refuse);
    EXPECT_EQ(AttachmentListView::dropAction(withFiles({QStringLiteral("/tmp/a.pdf")}).get(), false, true),
              DropAction::AttachFiles);
    EXPECT_EQ(
        AttachmentListView::dropAction(
            withFiles({QStringLiteral("/tmp/a.pdf"), QStringLiteral("/Applications/Tool.app")}).get(), false, true),
        DropAction::Refuse);
    EXPECT_EQ(AttachmentListView::dropAction(image.get(), false, true), DropAction::AttachImage);
    EXPECT_EQ(AttachmentListView::dropAction(withText(message).get(), true, true), DropAction::Refuse);
    EXPECT_EQ(AttachmentListView::dropAction(withFiles({QStringLiteral("/tmp/a.pdf")}).get(), false, false),
              DropAction::Refuse);
}

TEST_F(AttachmentListViewTest, AnAttachmentWhoseStoredFileIsGoneShowsTheMissingImage)
{
    auto controller = m_library.start(&m_ui);
    ProductEntity* product = UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("App"));
    AttachmentEntity* kept = product->attachDocument(writeFile(QStringLiteral("kept.txt"), "kept"));
    AttachmentEntity* lost = product->attachDocument(writeFile(QStringLiteral("lost.txt"), "lost"));
    ASSERT_TRUE(kept && lost);
    ASSERT_TRUE(QFile::remove(lost->contentPath()));
    const QImage missing = iconImage(AttachmentIcons::missingFileIcon());
    ASSERT_FALSE(missing.isNull());
    EXPECT_EQ(iconImage(lost->icon()), missing);
    EXPECT_NE(iconImage(kept->icon()), missing);
}

TEST_F(AttachmentListViewTest, AttachedFilesAppearSelectedInTheAttachmentsTab)
{
    auto controller = m_library.start(&m_ui);
    ProductEntity* product = UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("App"));
    ASSERT_TRUE(controller->saveAction());
    MainWindow window(controller.get());
    ASSERT_TRUE(window.selectProduct(product));

    ASSERT_TRUE(controller->attachDocumentsToSelectedProduct(
        {writeFile(QStringLiteral("b-receipt.pdf"), "%PDF"), writeFile(QStringLiteral("a-notes.txt"), "notes")}, true));
    controller->waitForAttachmentImports();
    QCoreApplication::processEvents();

    EXPECT_EQ(child<QTabWidget>(window, "productTabs")->currentWidget(),
              child<AttachmentListView>(window, "attachmentsView"));
    AttachmentListModel* model = child<AttachmentListView>(window, "attachmentsView")->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(0, AttachmentListModel::NameColumn).data().toString(), QStringLiteral("a-notes.txt"));
    EXPECT_FALSE(model->index(0, AttachmentListModel::DateColumn).data().toString().isEmpty());
    const QList<AttachmentEntity*> selected
        = child<AttachmentListView>(window, "attachmentsView")->selectedAttachments();
    ASSERT_FALSE(selected.isEmpty());

    // A dropped image becomes one attached TIFF file named by a new UUID.
    QMimeData image;
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    image.setImageData(picture);
    ASSERT_TRUE(child<AttachmentListView>(window, "attachmentsView")->acceptDrop(&image));
    controller->waitForAttachmentImports();
    QCoreApplication::processEvents();
    ASSERT_EQ(product->attachedFiles().size(), 3);
    bool foundTiff = false;
    for (const AttachmentEntity* attachment : product->attachedFiles()) {
        foundTiff |= attachment->name().endsWith(QLatin1String(".TIFF")) && attachment->name().size() == 36 + 5;
    }
    EXPECT_TRUE(foundTiff);
}

TEST_F(AttachmentListViewTest, SelectedRowsAreDraggedOutAsCopiesOfTheirFiles)
{
    auto controller = m_library.start(&m_ui);
    ProductEntity* product = UiTestLibrary::addProduct(controller->managedObjectContext(), QStringLiteral("App"));
    ASSERT_TRUE(product->attachDocument(writeFile(QStringLiteral("receipt.pdf"), "%PDF receipt")));
    ASSERT_TRUE(product->attachDocument(writeFile(QStringLiteral("key.txt"), "KEY-1")));
    AttachmentListView view(controller.get());
    view.setProduct(product);
    AttachmentListModel* model = view.model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_TRUE(model->flags(model->index(0, 0)) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(model->supportedDragActions(), Qt::CopyAction);

    // Both cells of a row are one file.
    const std::unique_ptr<QMimeData> data(model->mimeData({model->index(0, AttachmentListModel::NameColumn),
                                                           model->index(0, AttachmentListModel::DateColumn),
                                                           model->index(1, AttachmentListModel::NameColumn)}));
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->urls().size(), 2);
    QStringList names;
    for (const QUrl& url : data->urls()) {
        ASSERT_TRUE(url.isLocalFile());
        QFile copy(url.toLocalFile());
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        names.append(QFileInfo(copy).fileName());
        EXPECT_EQ(copy.readAll(), names.last() == u"key.txt" ? QByteArray("KEY-1") : QByteArray("%PDF receipt"));
    }
    EXPECT_EQ(names, (QStringList {model->attachment(0)->name(), model->attachment(1)->name()}));

    // Dropping the dragged copies back on Keymoor's own lists imports nothing.
    EXPECT_EQ(AttachmentListView::dropAction(data.get(), true, true), DropAction::Refuse);
}

} // namespace
