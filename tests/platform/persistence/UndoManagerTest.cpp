#include "persistence/UndoManager.h"

#include <gtest/gtest.h>

using Persistence::UndoManager;

namespace {

// A counter whose changes register their own inverse, as the context's changes do.
struct Counter
{
    UndoManager& undo;
    int value = 0;

    void add(int amount)
    {
        value += amount;
        undo.registerAction([this, amount] { add(-amount); });
    }
};

} // namespace

TEST(UndoManagerTest, NameTravelsWithItsGroupBetweenTheStacks)
{
    UndoManager undo;
    Counter counter {undo};
    EXPECT_TRUE(undo.undoActionName().isEmpty());

    undo.beginGroup();
    undo.setActionName(QStringLiteral("Delete 3 Products"));
    counter.add(1);
    counter.add(2);
    undo.endGroup();
    counter.add(10); // an unnamed group of its own
    EXPECT_TRUE(undo.undoActionName().isEmpty());

    undo.undo();
    EXPECT_EQ(counter.value, 3);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Delete 3 Products"));
    EXPECT_TRUE(undo.redoActionName().isEmpty());

    undo.undo();
    EXPECT_EQ(counter.value, 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.redoActionName(), QStringLiteral("Delete 3 Products"));

    undo.redo();
    EXPECT_EQ(counter.value, 3);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Delete 3 Products"));
    EXPECT_TRUE(undo.redoActionName().isEmpty()); // the unnamed group is next to redo
}

TEST(UndoManagerTest, NamingOutsideAGroupRenamesTheNewestStepOnly)
{
    UndoManager undo;
    Counter counter {undo};
    undo.setActionName(QStringLiteral("Nothing to name")); // no step yet: ignored
    counter.add(1);
    counter.add(2);
    undo.setActionName(QStringLiteral("Typing in Title"));
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Typing in Title"));
    undo.undo();
    EXPECT_TRUE(undo.undoActionName().isEmpty());
    EXPECT_EQ(undo.redoActionName(), QStringLiteral("Typing in Title"));
}

TEST(UndoManagerTest, NameOfAGroupThatChangedNothingIsDropped)
{
    UndoManager undo;
    Counter counter {undo};
    undo.beginGroup();
    undo.setActionName(QStringLiteral("Delete 1 Product")); // the person cancelled: nothing registered
    undo.endGroup();
    EXPECT_FALSE(undo.canUndo());

    undo.beginGroup();
    counter.add(1);
    undo.endGroup();
    EXPECT_TRUE(undo.undoActionName().isEmpty()); // the earlier name does not stick to the next step

    undo.beginGroup();
    undo.beginGroup();
    undo.setActionName(QStringLiteral("Import 2 Products")); // named from a nested level
    counter.add(2);
    undo.endGroup();
    EXPECT_EQ(undo.groupingLevel(), 1);
    counter.add(3);
    undo.endGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Import 2 Products"));
    undo.undo();
    EXPECT_EQ(counter.value, 1); // both nested changes were one step
}
