#include "ui/MainWindowCommandState.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using Command = MainWindowCommand;

MainWindowSelection products(int count)
{
    MainWindowSelection selection;
    selection.productCount = count;
    return selection;
}

MainWindowSelection attachments(bool tabShown, int count, bool email = false)
{
    MainWindowSelection selection = products(1);
    selection.attachmentsTabCurrent = tabShown;
    selection.attachmentCount = count;
    selection.attachmentIsEmail = email;
    return selection;
}

MainWindowSelection someProducts(int count, void (*fill)(MainWindowSelection&))
{
    MainWindowSelection selection = products(count);
    fill(selection);
    return selection;
}

MainWindowSelection oneProduct(void (*fill)(MainWindowSelection&))
{
    return someProducts(1, fill);
}

struct Situation
{
    const char* name;
    MainWindowSelection selection;
    std::set<Command> enabled; // among the commands of `commands` below
};

// The commands whose state depends on the selection.
const Command commands[] = {
    Command::RemoveProduct,      Command::AttachFile,          Command::ImportMail,
    Command::ImportOutlook,      Command::RefreshApp,          Command::CopySerial,
    Command::CopyRegisteredName, Command::CopyRegisteredEmail, Command::RemoveAttachment,
    Command::ExportAttachments,  Command::OpenAttachment,      Command::ScanEmail,
    Command::LaunchApp,          Command::RevealApp,           Command::LocateApp,
    Command::OpenWebsite,        Command::WriteToSupport,      Command::Print,
};

const std::set<Command> placeholderValues
    = {Command::CopySerial, Command::CopyRegisteredName, Command::CopyRegisteredEmail};
const std::set<Command> productCommands = {Command::RemoveProduct, Command::AttachFile, Command::ImportMail,
                                           Command::ImportOutlook, Command::RefreshApp, Command::Print};

std::set<Command> unite(std::set<Command> a, const std::set<Command>& b)
{
    a.insert(b.begin(), b.end());
    return a;
}

std::set<Command> without(std::set<Command> a, Command command)
{
    a.erase(command);
    return a;
}

const Situation situations[] = {
    {"no product", products(0), {}},
    // One product without values, not installed: it can be located but nothing copied or opened.
    {"one bare product", products(1), unite(productCommands, {Command::LocateApp})},
    // Several products: nothing is copied (which one's value?), addresses count when any has one.
    {"several bare products", products(3), unite(productCommands, {Command::LocateApp})},
    {"several products, one with a website", someProducts(3, [](MainWindowSelection& s) { s.anyWebsite = true; }),
     unite(productCommands, {Command::LocateApp, Command::OpenWebsite})},
    {"several products, one with a support address",
     someProducts(3, [](MainWindowSelection& s) { s.anySupportEmail = true; }),
     unite(productCommands, {Command::LocateApp, Command::WriteToSupport})},
    {"several products with Keymoor's own record",
     someProducts(3, [](MainWindowSelection& s) { s.containsOwnRecord = true; }),
     without(unite(productCommands, {Command::LocateApp}), Command::RemoveProduct)},
    {"one product with values", oneProduct([](MainWindowSelection& s) {
         s.serialNumber = QStringLiteral("AB-12");
         s.registeredName = QStringLiteral("Ann");
         s.registeredEmail = QStringLiteral("ann@example.com");
         s.productWebsite = QStringLiteral("example.com");
         s.productEmail = QStringLiteral("help@example.com");
     }),
     unite(unite(productCommands, placeholderValues),
           {Command::LocateApp, Command::OpenWebsite, Command::WriteToSupport})},
    {"blank serial counts as none", oneProduct([](MainWindowSelection& s) { s.serialNumber = QStringLiteral("  "); }),
     unite(productCommands, {Command::LocateApp})},
    {"installed product", oneProduct([](MainWindowSelection& s) { s.launchable = true; }),
     unite(productCommands, {Command::LaunchApp, Command::RevealApp})},
    {"Keymoor's own record", oneProduct([](MainWindowSelection& s) { s.ownRecord = true; }),
     without(productCommands, Command::RemoveProduct)},
    {"attachments on the other tab", attachments(false, 2), unite(productCommands, {Command::LocateApp})},
    {"two attachments shown", attachments(true, 2),
     unite(productCommands, {Command::LocateApp, Command::RemoveAttachment, Command::ExportAttachments})},
    {"one document shown", attachments(true, 1),
     unite(productCommands,
           {Command::LocateApp, Command::RemoveAttachment, Command::ExportAttachments, Command::OpenAttachment})},
    {"one e-mail shown", attachments(true, 1, true),
     unite(productCommands,
           {Command::LocateApp, Command::RemoveAttachment, Command::ExportAttachments, Command::OpenAttachment,
            Command::ScanEmail})},
    {"tab shown without attachments", attachments(true, 0), unite(productCommands, {Command::LocateApp})},
};

TEST(MainWindowCommandStateTest, EnablingFollowsTheSelection)
{
    for (const Situation& situation : situations) {
        const MainWindowCommandState state(situation.selection);
        for (Command command : commands) {
            EXPECT_EQ(state.isEnabled(command), situation.enabled.count(command) == 1)
                << situation.name << ", command " << int(command);
        }
    }
}

TEST(MainWindowCommandStateTest, CommandsWithoutConditionNeedOnlyALibrary)
{
    for (Command command : {Command::NewProduct, Command::ImportApp, Command::ImportWidget, Command::ImportPlugin,
                            Command::ImportPrefPane, Command::RefreshAllApps, Command::SyncToMobile}) {
        EXPECT_TRUE(MainWindowCommandState(products(0)).isEnabled(command)) << int(command);
        MainWindowSelection closed = products(2);
        closed.hasLibrary = false;
        EXPECT_FALSE(MainWindowCommandState(closed).isEnabled(command)) << int(command);
    }
    MainWindowSelection closed = products(0);
    closed.hasLibrary = false;
    EXPECT_FALSE(MainWindowCommandState(closed).isEnabled(Command::CopySerial));
}

} // namespace
