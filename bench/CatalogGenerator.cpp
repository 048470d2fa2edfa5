#include "CatalogGenerator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "core/store/FolderRecord.h"
#include "core/store/IndexRecord.h"
#include "core/store/RecordFormat.h"

namespace fs = std::filesystem;

namespace quillory::bench {
namespace {

// splitmix64: small, fast and the same on every platform, so a seed always gives the same catalog.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int between(int low, int high) { return low + static_cast<int>(next() % static_cast<uint64_t>(high - low + 1)); }
    bool chance(double p) { return static_cast<double>(next() >> 11) * 0x1.0p-53 < p; }
    template <class Container>
    const auto& pick(const Container& items)
    {
        return items[next() % items.size()];
    }

private:
    uint64_t state_;
};

// Plain words. No other word contains kCommonWord, so searching for it finds exactly its uses.
constexpr std::array<std::string_view, 150> kWords = {
    "annual",      "report",   "budget",   "meeting",  "notes",     "draft",      "final",     "invoice",  "contract",
    "letter",      "manual",   "guide",    "summary",  "review",    "plan",       "project",   "design",   "sketch",
    "photo",       "scan",     "receipt",  "tax",      "insurance", "health",     "garden",    "kitchen",  "recipe",
    "travel",      "ticket",   "hotel",    "flight",   "map",       "route",      "bike",      "car",      "repair",
    "warranty",    "printer",  "network",  "server",   "backup",    "archive",    "journal",   "article",  "paper",
    "thesis",      "chapter",  "lecture",  "course",   "exam",      "homework",   "school",    "library",  "book",
    "novel",       "poem",     "music",    "score",    "lyrics",    "album",      "video",     "film",     "interview",
    "podcast",     "blog",     "website",  "forum",    "wiki",      "tutorial",   "example",   "template", "form",
    "application", "license",  "permit",   "passport", "visa",      "bank",       "statement", "loan",     "mortgage",
    "pension",     "salary",   "bonus",    "expense",  "claim",     "customer",   "supplier",  "order",    "quote",
    "offer",       "catalog",  "price",    "list",     "inventory", "stock",      "shipping",  "delivery", "return",
    "policy",      "safety",   "training", "workshop", "seminar",   "conference", "poster",    "slides",   "minutes",
    "agenda",      "schedule", "calendar", "holiday",  "birthday",  "wedding",    "family",    "history",  "genealogy",
    "house",       "roof",     "window",   "heating",  "energy",    "solar",      "water",     "electric", "meter",
    "reading",     "spring",   "summer",   "autumn",   "winter",    "north",      "south",     "east",     "west",
    "city",        "village",  "river",    "mountain", "lake",      "alpha",      "beta",      "gamma",    "delta",
    "first",       "second",   "third",    "old",      "new",       "misc",
};

// Words outside ASCII: Latin letters with marks, Cyrillic, Greek and Japanese.
constexpr std::array<std::string_view, 12> kNonAsciiWords = {
    "Übersicht", "café",   "résumé", "Straße", "Größe", "naïve",
    "Zürich",    "Kraków", "façade", "Москва", "東京",  "Ελληνικά",
};

// Documents of many kinds, written as people name them.
constexpr std::array<std::string_view, 24> kExtensions = {
    ".pdf", ".odt", ".txt", ".jpg", ".html",   ".md",  ".docx", ".xlsx", ".ods", ".png",  ".JPG", ".PDF",
    ".mp3", ".ogg", ".mp4", ".zip", ".tar.gz", ".csv", ".json", ".xml",  ".svg", ".epub", ".cpp", ".ics",
};

// What an index points at: mostly documents, and the other kinds a catalog holds.
std::string indexPath(Random& random, const std::string& folderPath, const std::string& name, int n,
                      std::vector<std::string>& realFolders)
{
    const int kind = random.between(1, 100);
    if (kind <= 72)
        return folderPath + "/" + name + "-" + std::to_string(n) + std::string(random.pick(kExtensions));
    if (kind <= 80) // a file without extension
        return folderPath + "/" + name + "-" + std::to_string(n);
    if (kind <= 88) { // a folder
        const std::string folder = folderPath + "/part-" + std::to_string(n % 40);
        realFolders.push_back(folder);
        return folder;
    }
    if (kind <= 94)
        return "https://example.org/" + name + "/" + std::to_string(n);
    return (random.chance(0.5) ? "http://" : "HTTPS://") + std::string("docs.example.net/") + name;
}

std::string_view pickWord(Random& random)
{
    return random.chance(0.04) ? random.pick(kNonAsciiWords) : random.pick(kWords);
}

std::string capitalized(std::string_view word)
{
    std::string text(word);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string words(Random& random, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        text += i == 0 ? capitalized(pickWord(random)) : std::string(pickWord(random));
    }
    return text;
}

std::string slug(std::string_view text)
{
    std::string result;
    for (const char c : text)
        result += c == ' ' ? '-' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return result;
}

std::string sentence(Random& random)
{
    std::string text = words(random, random.between(6, 16));
    if (random.chance(0.01)) // a typed "|", which the format escapes
        text += " | see also " + std::string(pickWord(random));
    return text + ".";
}

std::string addedTime(Random& random)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", random.between(2015, 2025), random.between(1, 12),
                  random.between(1, 28), random.between(0, 23), random.between(0, 59), random.between(0, 59));
    return text;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

void appendLine(std::string& text, const std::string& line)
{
    text += line;
    text += "\r\n";
}

std::string configuration()
{
    std::string text;
    for (const char* line :
         {"DefaultRootPath=", "QlrdbFolder=cat", "QlrdbContentFolder=idx", "DirFileName=cat.qlr",
          "TempContentFileName=pending.qlr", "MonitorAutoWriteInterval=2", "FontName=Sans Serif", "FontSize=10"})
        appendLine(text, line);
    for (int i = 2; i <= 9; ++i)
        appendLine(text, "Err00" + std::to_string(i) + "=error " + std::to_string(i));
    return text;
}

// How many folders stand at each depth of the tree, the top level first.
std::vector<int> levelSizes(int folders)
{
    static constexpr std::array<double, 5> kShare = {0.05, 0.20, 0.35, 0.30, 0.10};
    std::vector<int> sizes;
    int placed = 0;
    for (size_t level = 0; level < kShare.size() && placed < folders; ++level) {
        int size = static_cast<int>(folders * kShare[level] + 0.5);
        if (level == 0)
            size = std::max(size, 1);
        if (level + 1 == kShare.size() || placed + size > folders)
            size = folders - placed;
        sizes.push_back(size);
        placed += size;
    }
    return sizes;
}

} // namespace

GeneratedCatalog generateCatalog(const std::string& programFolder, const CatalogShape& shape)
{
    Random random(shape.seed);
    GeneratedCatalog catalog;
    catalog.programFolder = programFolder;
    const std::string catalogFolder = programFolder + "/cat";
    const std::string indexFolder = catalogFolder + "/idx";
    fs::create_directories(programFolder + "/resource/conf");
    fs::create_directories(indexFolder);
    writeFile(programFolder + "/resource/conf/SysConf.properties", configuration());

    // The tree's shape: each folder below the top level hangs under a random folder one level up.
    struct Node {
        int depth = 1;
        int parent = -1;
        std::vector<int> children;
    };
    std::vector<Node> nodes;
    std::vector<int> previousLevel;
    const std::vector<int> sizes = levelSizes(shape.folders);
    for (size_t level = 0; level < sizes.size(); ++level) {
        std::vector<int> thisLevel;
        for (int i = 0; i < sizes[level]; ++i) {
            const int index = static_cast<int>(nodes.size());
            Node node;
            node.depth = static_cast<int>(level) + 1;
            if (level > 0) {
                node.parent = random.pick(previousLevel);
                nodes[static_cast<size_t>(node.parent)].children.push_back(index);
            }
            nodes.push_back(std::move(node));
            thisLevel.push_back(index);
        }
        previousLevel = std::move(thisLevel);
    }
    catalog.topLevelFolders = sizes.empty() ? 0 : sizes[0];
    catalog.maxDepth = static_cast<int>(sizes.size());

    // File order is creation order: a folder comes after its parent, branches interleave, and
    // ids are numbered in that order.
    std::vector<int> ready;
    for (int i = 0; i < catalog.topLevelFolders; ++i)
        ready.push_back(i);
    std::vector<std::string> ids(nodes.size());
    std::vector<std::string> pathOf(nodes.size());
    std::string folderText;
    std::vector<std::string> realFolders; // the folders that indexes point at
    catalog.files.push_back(catalogFolder + "/cat.qlr");
    while (!ready.empty()) {
        const size_t at = random.next() % ready.size();
        const int index = ready[at];
        ready[at] = ready.back();
        ready.pop_back();
        const Node& node = nodes[static_cast<size_t>(index)];
        for (const int child : node.children)
            ready.push_back(child);

        FolderRecord folder;
        folder.dirId = std::string("D").append(
            std::to_string(catalog.folderIds.size() + 1)); // not "D" + ...: GCC 12 -O3 -Wrestrict
        folder.dirName = words(random, random.between(1, 3));
        folder.parentDirId = node.parent < 0 ? "0" : ids[static_cast<size_t>(node.parent)];
        folder.dirDescription = sentence(random);
        appendLine(folderText, formatDirLine(folder));
        ids[static_cast<size_t>(index)] = folder.dirId;
        pathOf[static_cast<size_t>(index)] = (node.parent < 0 ? std::string("QLRR$/docs")
                                                              : pathOf[static_cast<size_t>(node.parent)])
                                             + "/" + slug(folder.dirName);
        catalog.folderIds.push_back(folder.dirId);

        if (shape.indexesPerFolder <= 0)
            continue;
        std::string indexText;
        for (int n = 1; n <= shape.indexesPerFolder; ++n) {
            IndexRecord record;
            record.setCId(folder.dirId + "!C" + std::to_string(n));
            record.setCTitle(words(random, random.between(2, 6)));
            record.setStoredPath(
                indexPath(random, pathOf[static_cast<size_t>(index)], slug(record.cTitle()), n, realFolders));
            record.setNeedPwd("False");
            record.setAddTime(addedTime(random));
            record.setCDesc(sentence(random));
            appendLine(indexText, formatContentLine(record));
        }
        const std::string indexFile = indexFolder + "/" + folder.dirId + ".qlr";
        writeFile(indexFile, indexText);
        catalog.files.push_back(indexFile);
        catalog.indexCount += static_cast<size_t>(shape.indexesPerFolder);
        catalog.bytes += indexText.size();
    }
    writeFile(catalog.files.front(), folderText);
    catalog.bytes += folderText.size();
    if (shape.makeFolders) {
        std::sort(realFolders.begin(), realFolders.end());
        realFolders.erase(std::unique(realFolders.begin(), realFolders.end()), realFolders.end());
        for (const std::string& folder : realFolders)
            fs::create_directories(programFolder + folder.substr(std::string_view("QLRR$").size()));
    }
    return catalog;
}

void generateIndexFile(const std::string& programFolder, const std::string& dirId, int count, uint64_t seed)
{
    Random random(seed);
    std::vector<std::string> realFolders;
    std::string text;
    for (int n = 1; n <= count; ++n) {
        IndexRecord record;
        record.setCId(dirId + "!C" + std::to_string(n));
        record.setCTitle(words(random, random.between(2, 6)));
        record.setStoredPath(indexPath(random, "QLRR$/docs/big", slug(record.cTitle()), n, realFolders));
        record.setNeedPwd("False");
        record.setAddTime(addedTime(random));
        record.setCDesc(sentence(random));
        appendLine(text, formatContentLine(record));
    }
    writeFile(programFolder + "/cat/idx/" + dirId + ".qlr", text);
    std::sort(realFolders.begin(), realFolders.end());
    realFolders.erase(std::unique(realFolders.begin(), realFolders.end()), realFolders.end());
    for (const std::string& folder : realFolders)
        fs::create_directories(programFolder + folder.substr(std::string_view("QLRR$").size()));
}

void writeTextFile(const std::string& path, const std::string& bytes)
{
    writeFile(path, bytes);
}

} // namespace quillory::bench
