#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillory {

class SysConf;

// The settings that name the catalog opened at start-up, and the monitor's write interval, as the
// options dialog shows and takes them: texts as typed, the two file names without ".qlr".
struct CatalogSettingsFields {
    std::string rootPath;
    std::string catalogFolder;
    std::string indexFolder;
    std::string folderFile;
    std::string pendingFile;
    std::string interval;
};

// A file name as the dialog shows it: without its ".qlr" ending (a name of four characters or
// fewer, or with another ending, as it is).
std::string nameWithoutQlr(std::string_view name);
// The configured values, as the dialog shows them.
CatalogSettingsFields catalogSettingsOf(const SysConf& conf);
// A file name as it is stored: with ".qlr", added when it does not end so already in any letter
// case (a file named "LIB.QLR" keeps its name).
std::string nameWithQlr(std::string_view name);
// Whether name is that of a catalog file: it ends in ".qlr", in any letter case.
bool isCatalogFileName(std::string_view name);
// Whether name names one folder or file inside another: not empty, no "/" and no line break in
// it, and neither "." nor "..".
bool isOneName(std::string_view name);

// What a picked folder file says: the root, the catalog folder and the file's name, from
// "<root>/<catalog folder>/<file>". Nothing for a file with no catalog folder above it (one in
// the file system's top folder, or a bare name).
struct PickedCatalog {
    std::string rootPath;
    std::string catalogFolder;
    std::string folderFile;
};
std::optional<PickedCatalog> catalogOfFolderFile(std::string_view path);

// The message key of the first field that is missing or wrong, in the order catalog folder
// (Msg007), index folder (Msg008), folder file (Msg009), pending-changes file (Msg010), each of
// them one name (Msg016), interval (Msg011 missing, Msg017 not a whole number of minutes from 1
// to 32767), root path on one line (Msg018); "" when all are fine. White space around a field,
// line ends included, does not count.
std::string checkCatalogSettings(const CatalogSettingsFields& fields);

// Takes the fields (trimmed) into the settings, the two file names with ".qlr", and writes the
// configuration file. False when it could not be written (the message has been shown); the
// settings are then as they were.
bool storeCatalogSettings(SysConf& conf, const CatalogSettingsFields& fields);

} // namespace quillory
