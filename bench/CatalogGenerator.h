#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillory::bench {

// The size of a catalog to generate. The folder tree has about one top-level folder in twenty
// and grows down to depth 5; every folder gets the same number of indexes. Indexes point at
// documents of two dozen kinds, at names without extension, at folders and at web addresses.
struct CatalogShape {
    int folders = 0;
    int indexesPerFolder = 0; // 0: only the folder file is written
    uint64_t seed = 1;
    bool makeFolders = false; // create the folders that indexes point at
};

// A catalog written in the program's file formats into a program folder of its own:
//   <programFolder>/resource/conf/SysConf.properties   (root = the program folder)
//   <programFolder>/cat/cat.qlr                        the folder file
//   <programFolder>/cat/idx/<folder id>.qlr            one index file per folder
struct GeneratedCatalog {
    std::string programFolder;
    std::vector<std::string> folderIds; // in folder-file order
    std::vector<std::string> files;     // the folder file, then the index files in folderIds order
    size_t indexCount = 0;
    size_t bytes = 0; // of all the files in `files`
    int topLevelFolders = 0;
    int maxDepth = 0;
};

GeneratedCatalog generateCatalog(const std::string& programFolder, const CatalogShape& shape);

// Writes the index file of folder dirId with count indexes of every kind of path, and makes the
// folders they point at.
void generateIndexFile(const std::string& programFolder, const std::string& dirId, int count, uint64_t seed);
void writeTextFile(const std::string& path, const std::string& bytes);

// Search texts whose matches the generator controls: each is one word of its vocabulary.
inline constexpr const char* kCommonWord = "report";      // in a few percent of titles and descriptions
inline constexpr const char* kNonAsciiWord = "übersicht"; // written "Übersicht" in the catalog

} // namespace quillory::bench
