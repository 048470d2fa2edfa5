// The command table against what users and the installation know of each command, written out
// here by hand: keys, toolbar pictures, context-menu ranks. The windows take everything from the
// table, so a slip in it would otherwise pass every test that compares a window with it.
#include <gtest/gtest.h>

#include <map>

#include "core/shell/CommandTable.h"

namespace quillory {
namespace {

struct Expected {
    Command command;
    std::string_view shortcut;
    std::string_view image; // toolbar picture's base name ("" for no button)
    bool disabledLook;      // has a "-D" picture of its own
    int popupRank;          // 0: never found by the context menu
};

// clang-format off
const std::vector<Expected> kExpected = {
    {Command::New,            "Ctrl+N",  "New",            false, 0},
    {Command::Open,           "Ctrl+O",  "OpenFile",       false, 0},
    {Command::Close,          "Ctrl+Q",  "",               false, 0},
    {Command::Exit,           "",        "",               false, 12},
    {Command::AddRoot,        "F2",      "AddFolder",      false, 8},
    {Command::AddChild,       "F3",      "AddSubFolder",   true,  7},
    {Command::UpdateFolder,   "",        "ModifyFolder",   true,  11},
    {Command::DeleteFolder,   "",        "DeleteFolder",   true,  9},
    {Command::RenameFolder,   "",        "RenameFolder",   true,  14},
    {Command::FolderProperty, "Ctrl+D",  "FolderProperty", true,  10},
    {Command::OpenIndex,      "",        "Exec",           true,  4},
    {Command::AddIndex,       "Ctrl+A",  "AddIndex",       true,  1},
    {Command::UpdateIndex,    "",        "ModifyIndex",    true,  6},
    {Command::DeleteIndex,    "",        "DeleteIndex",    true,  2},
    {Command::IndexProperty,  "Ctrl+Z",  "IndexProperty",  true,  5},
    {Command::Search,         "Ctrl+F",  "Search",         false, 13},
    {Command::ClipDataIn,     "Ctrl+F2", "DataIn",         true,  3},
    {Command::Sync,           "F5",      "refresh",        true,  0},
    {Command::UndoSync,       "",        "",               false, 17},
    {Command::CheckCatalog,   "",        "",               false, 15},
    {Command::RepairReferences,"",       "",               false, 16},
    {Command::Options,        "",        "preferance",     false, 0},
    {Command::HelpContents,   "F1",      "help",           false, 0},
    {Command::About,          "",        "",               false, 0},
    {Command::ShowFrame,      "",        "",               false, 0},
};
// clang-format on

TEST(CommandTable, everyCommandHasItsKnownKeyPictureAndContextMenuRank)
{
    ASSERT_EQ(kExpected.size(), kCommandCount);
    for (const Expected& e : kExpected) {
        const CommandRow& row = commandRow(e.command);
        const std::string what = std::string(row.menuItem.empty() ? row.launcherName : row.menuItem);
        EXPECT_EQ(row.command, e.command) << what;
        EXPECT_EQ(row.shortcut, e.shortcut) << what;
        EXPECT_EQ(row.image, e.image) << what;
        EXPECT_EQ(row.hasDisabledImage, e.disabledLook) << what;
        EXPECT_EQ(row.popupOrder, e.popupRank) << what;
    }
    std::map<int, Command> byRank;
    for (const Expected& e : kExpected)
        if (e.popupRank > 0)
            byRank.emplace(e.popupRank, e.command);
    std::vector<Command> order;
    for (const auto& [rank, command] : byRank)
        order.push_back(command);
    EXPECT_EQ(popupDispatchOrder(), order);
}

TEST(CommandTable, noTwoCommandsShareAKeyAPictureOrAName)
{
    std::map<std::string_view, Command> keys, pictures, names;
    for (const CommandRow& row : commandTable()) {
        if (!row.shortcut.empty()) {
            EXPECT_TRUE(keys.emplace(row.shortcut, row.command).second) << row.shortcut;
        }
        if (!row.image.empty()) {
            EXPECT_TRUE(pictures.emplace(row.image, row.command).second) << row.image;
        }
        for (std::string_view name : {row.menuItem, row.startMenuItem, row.toolButton, row.launcherName}) {
            if (!name.empty()) {
                EXPECT_TRUE(names.emplace(name, row.command).second) << name;
            }
        }
    }
    // The menus show the same keys as the commands they carry, and no other.
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.shortcut.empty())
            continue;
        ASSERT_TRUE(entry.command.has_value()) << entry.name;
        EXPECT_EQ(entry.shortcut, commandRow(*entry.command).shortcut) << entry.name;
    }
}

} // namespace
} // namespace quillory
