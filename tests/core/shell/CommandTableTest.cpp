// The command table's own rules: each command has its row, no two commands share a key, a
// picture, a name or a context-menu rank, and the menus show the keys of the commands they carry.
// Where each command stands in the windows and what it runs is walked through in the running
// program's command table suite.
#include <gtest/gtest.h>

#include <map>

#include "core/shell/CommandTable.h"

namespace quillory {
namespace {

TEST(CommandTable, eachCommandHasItsRow_noTwoShareAKeyPictureNameOrRank_menusShowTheirCommandsKeys)
{
    std::map<std::string_view, Command> keys, pictures, names;
    std::map<int, Command> byRank;
    for (size_t i = 0; i < kCommandCount; ++i) {
        const Command command = static_cast<Command>(i);
        const CommandRow& row = commandRow(command);
        EXPECT_EQ(row.command, command) << i;
        EXPECT_TRUE(!row.hasDisabledImage || !row.image.empty()) << i;
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
        if (row.popupOrder > 0) {
            EXPECT_TRUE(byRank.emplace(row.popupOrder, row.command).second) << row.popupOrder;
        }
    }
    std::vector<Command> order;
    for (const auto& [rank, command] : byRank)
        order.push_back(command);
    EXPECT_EQ(popupDispatchOrder(), order);
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.shortcut.empty())
            continue;
        ASSERT_TRUE(entry.command.has_value()) << entry.name;
        EXPECT_EQ(entry.shortcut, commandRow(*entry.command).shortcut) << entry.name;
    }
}

} // namespace
} // namespace quillory
