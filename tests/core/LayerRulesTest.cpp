// The layers stay apart: the core builds without Qt, its folders include one way only and only
// its file layer calls the system, the frame and the catalog window meet only in the command
// dispatcher, and a command's names are written in the command table alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "core/shell/CommandTable.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = QUILLORY_SOURCE_DIR;

std::vector<fs::path> sourcesUnder(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp"))
            files.push_back(entry.path());
    }
    return files;
}

std::vector<std::string> includesOf(const fs::path& file)
{
    static const std::regex include(R"(^\s*#\s*include\s*([<"][^>"]+[>"]))");
    std::vector<std::string> found;
    std::istringstream lines(readBytes(file.string()));
    std::smatch match;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_search(line, match, include))
            found.push_back(match[1]);
    }
    return found;
}

// Inside the core, each folder includes only its own layer and those below it:
// base < store < config < catalog_window, shell, monitor, references < the core's own top folder.
// No Qt header, and only the file layer includes POSIX headers: every system call of the core goes
// through FileIo, where the fault-injecting tests reach it.
TEST(LayerRules, coreIncludesRunOneWay_withoutQt_andOnlyItsFileLayerCallsTheSystem)
{
    const std::map<std::string, int> rank = {{"base", 0},  {"store", 1},   {"config", 2},    {"catalog_window", 3},
                                             {"shell", 3}, {"monitor", 3}, {"references", 3}};
    const auto rankOf = [&](const fs::path& relative) {
        const auto it = rank.find(relative.begin()->string());
        return it == rank.end() ? (relative.has_parent_path() ? -1 : 4) : it->second;
    };
    const std::regex posix(R"(^<(unistd\.h|fcntl\.h|dirent\.h|sys/.*)>$)");
    const auto files = sourcesUnder(kSource / "core");
    ASSERT_GT(files.size(), 20u);
    for (const auto& file : files) {
        const int own = rankOf(file.lexically_relative(kSource / "core"));
        EXPECT_GE(own, 0) << file << " lies in a folder that has no place among the layers";
        const bool fileLayer = file.parent_path() == kSource / "core/store" && file.stem() == "FileIo";
        for (const std::string& header : includesOf(file)) {
            if (header.starts_with("\"core/")) {
                EXPECT_LE(rankOf(fs::path(header.substr(6, header.size() - 7))), own) << file << " includes " << header;
            }
            EXPECT_FALSE(header.starts_with("<Q") || header.starts_with("<qt") || header.starts_with("\"ui/")
                         || header.starts_with("\"app/"))
                << file << " includes " << header;
            EXPECT_FALSE(!fileLayer && std::regex_match(header, posix)) << file << " includes " << header;
        }
    }
}

TEST(LayerRules, shellAndCatalogWindowMeetOnlyInTheDispatcher)
{
    const auto check = [](const fs::path& folder, const std::string& forbidden, const std::string& allowed) {
        const auto files = sourcesUnder(kSource / folder);
        ASSERT_FALSE(files.empty()) << folder;
        for (const auto& file : files) {
            for (const std::string& header : includesOf(file))
                EXPECT_TRUE(!header.starts_with("\"" + forbidden) || header == "\"" + allowed + "\"")
                    << file << " includes " << header;
        }
    };
    check("ui/shell", "ui/catalog_window/", "");
    check("ui/catalog_window", "ui/shell/", "ui/shell/CommandDispatcher.h");
    check("ui/platform", "ui/catalog_window/", "");
    check("ui/platform", "ui/shell/", "");
}

TEST(LayerRules, commandNamesAreWrittenInTheCommandTableOnly)
{
    std::vector<std::string> names;
    for (const CommandRow& row : commandTable()) {
        for (const std::string_view name :
             {row.menuItem, row.startMenuItem, row.toolButton, row.toolKey, row.launcherName})
            if (!name.empty())
                names.push_back("\"" + std::string(name) + "\"");
    }
    ASSERT_GT(names.size(), 50u);
    const fs::path table = kSource / "core/shell/CommandTable.cpp";
    for (const auto& file : sourcesUnder(kSource)) {
        if (file == table)
            continue;
        const std::string text = readBytes(file.string());
        for (const std::string& name : names) {
            // The search panel's own button shares its name with the launcher's search button.
            if (file.filename() == "SearchPanel.cpp" && name == "\"cmd_search\"")
                continue;
            EXPECT_EQ(text.find(name), std::string::npos) << file << " names " << name;
        }
    }
}

} // namespace
} // namespace quillory::test
