#include "maintenance/LibraryRepairPlan.h"

#include <gtest/gtest.h>

namespace {

using Reason = LibraryCheckSnapshot::RecordProblem::Reason;
using Snapshot = LibraryCheckSnapshot;

// Product 1 with attached files 10 and 11 (contents 20 and 21) and icon 30; every file is on disk.
Snapshot consistentLibrary()
{
    Snapshot snapshot;
    snapshot.products.insert(1, {QStringLiteral("P-UUID"), QStringLiteral("Editor"), 30});
    snapshot.files.insert(10, {QStringLiteral("receipt.pdf"), 1, 20});
    snapshot.files.insert(11, {QStringLiteral("manual.txt"), 1, 21});
    snapshot.contents.insert(20, {QStringLiteral("C20"), 10});
    snapshot.contents.insert(21, {QStringLiteral("C21"), 11});
    snapshot.icons.insert(30, {QStringLiteral("I30"), 1});
    return snapshot;
}

const QSet<QString> AllAttachments {QStringLiteral("C20"), QStringLiteral("C21")};
const QSet<QString> AllIcons {QStringLiteral("I30"), QStringLiteral("I31")};

QList<Reason> reasons(const Snapshot& snapshot)
{
    QList<Reason> list;
    for (const auto& problem : snapshot.recordProblems(AllAttachments, AllIcons)) {
        list.append(problem.reason);
    }
    return list;
}

TEST(LibraryRepairPlanTest, AConsistentLibraryNeedsNothing)
{
    Snapshot snapshot = consistentLibrary();
    EXPECT_TRUE(snapshot.linkProblems().isEmpty());
    EXPECT_TRUE(LibraryRepairPlan::mendReferences(snapshot).isEmpty());
    EXPECT_TRUE(reasons(snapshot).isEmpty());
}

TEST(LibraryRepairPlanTest, MendingLeavesEveryReferenceAnsweredAndTheRestToRemoval)
{
    const struct
    {
        const char* what;
        std::function<void(Snapshot&)> damage;
        int changes;
        QList<Reason> left;
    } cases[] = {
        {"a content that names a file which lost it is taken back",
         [](Snapshot& s) { s.files[11].content.reset(); },
         1,
         {}},
        {"a file whose content names nothing gets it back",
         [](Snapshot& s) { s.contents[21].attachment.reset(); },
         1,
         {}},
        {"a file claiming another's content gets its own back", [](Snapshot& s) { s.files[11].content = 20; }, 1, {}},
        {"a file claiming another's content, with none of its own, lets go",
         [](Snapshot& s) {
             s.files[11].content = 20;
             s.contents.remove(21);
         },
         1,
         {Reason::FileWithoutContent}},
        {"a file of a product that does not exist belongs to nothing",
         [](Snapshot& s) { s.files[10].product = 99; },
         1,
         {Reason::FileWithoutProduct}},
        {"a product naming an icon that does not exist gets its own back",
         [](Snapshot& s) { s.products[1].icon = 99; },
         1,
         {}},
        {"a second icon of a product that shows its own belongs to nothing",
         [](Snapshot& s) {
             s.icons.insert(31, {QStringLiteral("I31"), 1});
         },
         1,
         {Reason::IconWithoutProduct}},
        {"a content naming a file that does not exist, with no file naming it, belongs to nothing",
         [](Snapshot& s) {
             s.files.remove(11);
             s.contents[21].attachment = 99;
         },
         1,
         {Reason::ContentWithoutAttachment}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Snapshot snapshot = consistentLibrary();
        c.damage(snapshot);
        EXPECT_FALSE(snapshot.linkProblems().isEmpty());
        EXPECT_EQ(LibraryRepairPlan::mendReferences(snapshot).size(), c.changes);
        EXPECT_TRUE(snapshot.linkProblems().isEmpty());
        EXPECT_EQ(reasons(snapshot), c.left);
    }
}

TEST(LibraryRepairPlanTest, RemovalTakesContentsAlongAndClearsOnlyTheIconAProductShows)
{
    Snapshot snapshot = consistentLibrary();
    snapshot.icons.insert(31, {QStringLiteral("I31"), std::nullopt});
    const QSet<QString> onDisk {QStringLiteral("C21"), QStringLiteral("I31")};
    const auto problems = snapshot.recordProblems(onDisk, onDisk);
    const LibraryRepairPlan::Removal removal = LibraryRepairPlan::removalFor(snapshot, problems);

    EXPECT_EQ(removal.count, 3); // receipt.pdf, icon 30 (file gone), icon 31 (no product)
    EXPECT_EQ(removal.files, QList<qint64> {10});
    EXPECT_EQ(removal.contents, QList<qint64> {20});
    EXPECT_EQ(removal.icons, (QList<qint64> {30, 31}));
    EXPECT_EQ(removal.productsLosingIcon, QList<qint64> {1});
}

} // namespace
