#include "attachments/MailLicenceFinder.h"

#include "SessionTestLibrary.h"
#include "model/AttachedEmail.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTimeZone>

using namespace Persistence;

namespace {

QString store(const QString& name)
{
    return testDataPath("/email/licences/stores/") + name;
}

// What two scans of the same messages must agree on, whichever store holds them.
QStringList summary(const QList<LicenceProposal>& proposals)
{
    QStringList lines;
    for (const LicenceProposal& p : proposals) {
        lines.append(QStringList {p.title, p.publisher, p.serial, p.email, p.date.toUTC().toString(Qt::ISODate),
                                  p.subject, p.from, p.messageId, QString::number(p.duplicates.size())}
                         .join(u'|'));
    }
    return lines;
}

QByteArray treeDigest(const QString& folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) {
        files.append(it.next());
    }
    files.sort();
    for (const QString& path : files) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        hash.addData(path.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result();
}

class MailLicenceFinderTest : public SessionTestLibrary
{
protected:
    QList<ProductEntity*> productsWithSerial(const QString& serial)
    {
        QList<ProductEntity*> found;
        const auto objects = m_context->execute(FetchRequest(QStringLiteral("Product")));
        for (ManagedObject* object : objects.value_or(ObjectList())) {
            auto* product = dynamic_cast<ProductEntity*>(object);
            if (product && product->serialNumber() == serial) {
                found.append(product);
            }
        }
        return found;
    }

    MailLicenceFinder m_finder {m_session};
};

} // namespace

TEST_F(MailLicenceFinderTest, ProposesEachPurchaseMailOnceNewestFirst)
{
    const MailLicenceFinder::ScanResult result = MailLicenceFinder::scan({store(QStringLiteral("purchases.mbox"))}, {});
    EXPECT_EQ(result.messages, 5);
    EXPECT_EQ(result.unreadable, 0);
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(result.errors.isEmpty());
    ASSERT_EQ(result.proposals.size(), 3) << summary(result.proposals).join(u'\n').toStdString();

    // The newer of the two Northwind mails stands for both; the first is kept as its duplicate.
    const LicenceProposal& northwind = result.proposals[0];
    EXPECT_EQ(northwind.title, QStringLiteral("Northwind Pro 3"));
    EXPECT_EQ(northwind.publisher, QStringLiteral("Northwind"));
    EXPECT_EQ(northwind.serial, QStringLiteral("NW3-1111-2222-3333"));
    EXPECT_EQ(northwind.email, QStringLiteral("jane@example.com"));
    EXPECT_EQ(northwind.date, QDateTime(QDate(2021, 5, 10), QTime(10, 0), QTimeZone::utc()));
    EXPECT_EQ(northwind.messageId, QStringLiteral("<resend-10442@northwind.example>"));
    EXPECT_EQ(northwind.place.index, 1);
    ASSERT_EQ(northwind.duplicates.size(), 1);
    EXPECT_EQ(northwind.duplicates[0].index, 0);

    EXPECT_EQ(result.proposals[1].title, QStringLiteral("Lodestar Maps"));
    EXPECT_EQ(result.proposals[1].serial, QStringLiteral("LDS-8812-7734-2210"));
    EXPECT_EQ(result.proposals[2].title, QStringLiteral("Tidewatch 2"));
    EXPECT_EQ(result.proposals[2].serial, QStringLiteral("TW2-ABCD-EFGH-1234"));
    EXPECT_EQ(result.proposals[2].place.index, 4);
}

TEST_F(MailLicenceFinderTest, TheSameMessagesInAnyStoreGiveTheSameProposalsAndStayUntouched)
{
    const QString profile = store(QStringLiteral("thunderbird"));
    const QByteArray before = treeDigest(store(QString()));
    const QStringList fromMbox
        = summary(MailLicenceFinder::scan({store(QStringLiteral("purchases.mbox"))}, {}).proposals);
    const QStringList fromMaildir = summary(MailLicenceFinder::scan({store(QStringLiteral("maildir"))}, {}).proposals);
    const MailLicenceFinder::ScanResult fromProfile = MailLicenceFinder::scan({profile}, {});
    EXPECT_EQ(fromMaildir, fromMbox);
    // The Trash folder's Quill licence is left out unless asked for.
    EXPECT_EQ(summary(fromProfile.proposals), fromMbox);
    EXPECT_EQ(summary(MailLicenceFinder::scan({profile + QStringLiteral("/profiles.ini")}, {}).proposals), fromMbox);
    MailLicenceFinder::ScanOptions withTrash;
    withTrash.store.includeTrashAndJunk = true;
    EXPECT_EQ(MailLicenceFinder::scan({profile}, withTrash).proposals.size(), 4);
    EXPECT_EQ(treeDigest(store(QString())), before);
}

TEST_F(MailLicenceFinderTest, SinceProgressCancelAndUnreadablePaths)
{
    MailLicenceFinder::ScanOptions options;
    options.since = QDateTime(QDate(2021, 1, 1), QTime(0, 0), QTimeZone::utc());
    const MailLicenceFinder::ScanResult recent
        = MailLicenceFinder::scan({store(QStringLiteral("purchases.mbox"))}, options);
    ASSERT_EQ(recent.proposals.size(), 1);
    EXPECT_EQ(recent.proposals[0].serial, QStringLiteral("NW3-1111-2222-3333"));

    // A store of 250 copies: progress at every hundred, and a refusal stops the scan there.
    QByteArray many;
    QFile mbox(store(QStringLiteral("purchases.mbox")));
    ASSERT_TRUE(mbox.open(QIODevice::ReadOnly));
    const QByteArray one = mbox.readAll();
    for (int i = 0; i < 50; ++i) {
        many += one;
    }
    const QString big = writeFile(QStringLiteral("big.mbox"), many);
    QList<qint64> reports;
    options = {};
    options.progress = [&reports](qint64 read) {
        reports.append(read);
        return reports.size() < 2;
    };
    const MailLicenceFinder::ScanResult cancelled
        = MailLicenceFinder::scan({big, store(QStringLiteral("maildir"))}, options);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(reports, (QList<qint64> {100, 200}));
    EXPECT_EQ(cancelled.messages, 200);

    const MailLicenceFinder::ScanResult missing = MailLicenceFinder::scan(
        {m_scratch.filePath(QStringLiteral("no-such-store")), store(QStringLiteral("maildir"))}, {});
    ASSERT_EQ(missing.errors.size(), 1);
    EXPECT_TRUE(missing.errors[0].startsWith(m_scratch.filePath(QStringLiteral("no-such-store"))));
    EXPECT_EQ(missing.proposals.size(), 3);
}

TEST_F(MailLicenceFinderTest, AddingMakesProductsWithTheirMessageOnceAndMarksTheCatalogue)
{
    MailLicenceFinder::ScanResult result = MailLicenceFinder::scan({store(QStringLiteral("purchases.mbox"))}, {});
    // A product already holds the Tidewatch serial.
    addProduct(QStringLiteral("Tidewatch"))->setSerialNumber(QStringLiteral("TW2-ABCD-EFGH-1234"));
    ASSERT_TRUE(m_session.saveAction());
    m_finder.markInCatalogue(result.proposals);
    EXPECT_FALSE(result.proposals[0].inCatalogue);
    EXPECT_TRUE(result.proposals[2].inCatalogue);

    QString error;
    const auto added = m_finder.addProposals(result.proposals, &error);
    ASSERT_TRUE(added) << error.toStdString();
    ASSERT_EQ(added->size(), 2);
    EXPECT_FALSE(m_context->hasChanges());
    auto* product = dynamic_cast<ProductEntity*>(m_context->objectWithID(added->first()));
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->title(), QStringLiteral("Northwind Pro 3"));
    EXPECT_EQ(product->publisher(), QStringLiteral("Northwind"));
    EXPECT_EQ(product->registeredEmail(), QStringLiteral("jane@example.com"));
    EXPECT_EQ(product->purchaseDate(), QDateTime(QDate(2021, 5, 10), QTime(10, 0), QTimeZone::utc()));
    const QList<AttachmentEntity*> files = product->attachedFiles();
    ASSERT_EQ(files.size(), 1);
    auto* email = dynamic_cast<AttachedEmail*>(files.first());
    ASSERT_NE(email, nullptr);
    // Stored as attaching the same message from an .eml file stores it.
    EXPECT_EQ(email->name(), QStringLiteral("Your Northwind Pro 3 licence (sent again)"));
    EXPECT_TRUE(email->contentString().value_or(QString()).contains(QStringLiteral("here is your Northwind Pro 3")));

    // Everything is in the catalogue now: a second add, even of a rescan, makes nothing.
    MailLicenceFinder::ScanResult again = MailLicenceFinder::scan({store(QStringLiteral("maildir"))}, {});
    m_finder.markInCatalogue(again.proposals);
    EXPECT_TRUE(std::all_of(again.proposals.begin(), again.proposals.end(),
                            [](const LicenceProposal& p) { return p.inCatalogue; }));
    const auto none = m_finder.addProposals(again.proposals, &error);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());
    EXPECT_EQ(productsWithSerial(QStringLiteral("NW3-1111-2222-3333")).size(), 1);
    EXPECT_EQ(productsWithSerial(QStringLiteral("TW2-ABCD-EFGH-1234")).size(), 1);
}

TEST_F(MailLicenceFinderTest, AFailedSaveLeavesTheCatalogueAsItWas)
{
    const MailLicenceFinder::ScanResult result = MailLicenceFinder::scan({store(QStringLiteral("purchases.mbox"))}, {});
    m_session.setContextSaver([](ObjectContext*, StoreError* error) {
        return setError(error, StoreError::Code::IoError, QStringLiteral("disk full"));
    });
    QString error;
    EXPECT_FALSE(m_finder.addProposals(result.proposals, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("disk full"))) << error.toStdString();
    EXPECT_TRUE(productsWithSerial(QStringLiteral("NW3-1111-2222-3333")).isEmpty());
    EXPECT_TRUE(m_context->insertedObjects().isEmpty());
    // Nothing of the failed batch reaches the library with the next save either.
    m_session.setContextSaver({});
    ASSERT_TRUE(m_session.saveAction());
    EXPECT_TRUE(productsWithSerial(QStringLiteral("NW3-1111-2222-3333")).isEmpty());
}
