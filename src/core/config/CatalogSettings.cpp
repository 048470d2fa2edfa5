#include "core/config/CatalogSettings.h"

#include <charconv>
#include <utility>
#include <vector>

#include "core/config/SysConf.h"
#include "core/store/TextFiles.h"

namespace quillory {
namespace {

constexpr std::string_view kQlr = ".qlr";
// Blanks, tabs and line ends: what a paste brings along around a value.
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1));
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The monitor writes its records every so many minutes: 0 or less would mean never.
std::optional<int16_t> interval(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

bool endsWithQlrInAnyCase(std::string_view name)
{
    if (name.size() < kQlr.size())
        return false;
    const std::string_view end = name.substr(name.size() - kQlr.size());
    for (size_t i = 0; i < kQlr.size(); ++i) {
        const char c = end[i] >= 'A' && end[i] <= 'Z' ? char(end[i] - 'A' + 'a') : end[i];
        if (c != kQlr[i])
            return false;
    }
    return true;
}

} // namespace

std::string nameWithQlr(std::string_view name)
{
    return endsWithQlrInAnyCase(name) ? std::string(name) : std::string(name) + std::string(kQlr);
}

bool isCatalogFileName(std::string_view name)
{
    return endsWithQlrInAnyCase(name);
}

bool isOneName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find(kPathSep) == std::string_view::npos
           && !holdsLineBreak(name);
}

namespace {

// Index files are named after their folder: "D" and a number.
bool isIndexFileName(std::string_view name)
{
    return name.size() > 1 && name.front() == 'D' && name.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

} // namespace

std::string nameWithoutQlr(std::string_view name)
{
    if (name.size() > kQlr.size() && name.ends_with(kQlr))
        name.remove_suffix(kQlr.size());
    return std::string(name);
}

CatalogSettingsFields catalogSettingsOf(const SysConf& conf)
{
    return {conf.text("DefaultRootPath"),
            conf.text("QlrdbFolder"),
            conf.text("QlrdbContentFolder"),
            nameWithoutQlr(conf.text("DirFileName")),
            nameWithoutQlr(conf.text("TempContentFileName")),
            std::to_string(conf.getMonitorAutoWriteInterval())};
}

std::optional<PickedCatalog> catalogOfFolderFile(std::string_view path)
{
    const size_t fileStart = path.rfind(kPathSep);
    if (fileStart == std::string_view::npos || fileStart == 0)
        return std::nullopt;
    const std::string_view folderPath = path.substr(0, fileStart);
    const size_t folderStart = folderPath.rfind(kPathSep);
    if (folderStart == std::string_view::npos)
        return std::nullopt;
    PickedCatalog picked;
    picked.folderFile = std::string(path.substr(fileStart + 1));
    picked.catalogFolder = std::string(folderPath.substr(folderStart + 1));
    // A catalog folder in the top folder has that folder as its root.
    picked.rootPath = folderStart == 0 ? std::string(kPathSepStr) : std::string(folderPath.substr(0, folderStart));
    if (picked.folderFile.empty() || picked.catalogFolder.empty())
        return std::nullopt;
    return picked;
}

std::string checkCatalogSettings(const CatalogSettingsFields& fields)
{
    const std::pair<const std::string*, const char*> names[] = {{&fields.catalogFolder, "Msg007"},
                                                                {&fields.indexFolder, "Msg008"},
                                                                {&fields.folderFile, "Msg009"},
                                                                {&fields.pendingFile, "Msg010"}};
    for (const auto& [field, missing] : names) {
        const std::string name = trimmed(*field);
        if (name.empty())
            return missing;
        if (!isOneName(name))
            return "Msg016";
    }
    if (isIndexFileName(nameWithoutQlr(trimmed(fields.pendingFile))))
        return "Msg021";
    const std::string minutes = trimmed(fields.interval);
    if (minutes.empty())
        return "Msg011";
    if (!interval(minutes))
        return "Msg017";
    // Each setting is one line of the file.
    if (holdsLineBreak(trimmed(fields.rootPath)))
        return "Msg018";
    return {};
}

bool storeCatalogSettings(SysConf& conf, const CatalogSettingsFields& fields)
{
    const auto minutes = interval(trimmed(fields.interval));
    if (!checkCatalogSettings(fields).empty() || !minutes)
        return false;
    // Taken only once they are written: a file that cannot be written leaves the settings as
    // they were.
    const std::pair<const char*, std::string> values[] = {
        {"DefaultRootPath", trimmed(fields.rootPath)},
        {"DirFileName", nameWithQlr(trimmed(fields.folderFile))},
        {"QlrdbContentFolder", trimmed(fields.indexFolder)},
        {"QlrdbFolder", trimmed(fields.catalogFolder)},
        {"TempContentFileName", nameWithQlr(trimmed(fields.pendingFile))},
    };
    std::vector<std::pair<const char*, std::string>> before;
    for (const auto& [key, value] : values) {
        before.emplace_back(key, conf.text(key));
        conf.setText(key, value);
    }
    const int16_t intervalBefore = conf.getMonitorAutoWriteInterval();
    conf.setMonitorAutoWriteInterval(*minutes);
    if (conf.saveSysConf())
        return true;
    for (const auto& [key, value] : before)
        conf.setText(key, value);
    conf.setMonitorAutoWriteInterval(intervalBefore);
    return false;
}

} // namespace quillory
