// The document scan against ripgrep and GNU grep, over the same explicit list of 5,000 generated
// text documents (about 650 MB: most small, a few up to 8 MB), warm in the page cache, for five
// kinds of search text. Each tool runs single-threaded, three times; the median counts.
//
//   quillory_scan_bench [--folder=<where the documents are kept between runs>]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Limits.h"
#include "core/catalog_window/search/FileScan.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace quillory;
using namespace quillory::bench;

namespace {

constexpr int kDocuments = 5000;
constexpr const char* kLayoutVersion = "scan-documents-v3";

struct SearchKind {
    const char* name;
    const char* text;
    double rgLimit; // at most this many times rg's time
};

// Rare letters, common letters, a text found nowhere, a text every document has in its first
// block, and a text outside ASCII.
const SearchKind kKinds[] = {
    {"rare", "jazzy quokka", 1.5},
    {"common", "retina iteration", 3.0},
    {"nomatch", "tornado season", 3.0},
    {"firstblock", "quarterly ledger", 3.0},
    {"nonascii", "größe", 3.0},
};

const char* const kWords[] = {
    "the", "of", "and", "to", "in", "is", "was", "that", "for", "on", "with", "as", "by", "at", "from",
    "this", "have", "are", "not", "but", "report", "account", "meeting", "project", "result", "method",
    "sample", "station", "pattern", "measure", "interest", "general", "present", "service", "between",
    "another", "history", "student", "natural", "training", "position", "material", "research", "evidence",
    "important", "different", "increase", "national", "relation", "retain", "nation", "rating", "iterate",
    "season", "tornadoes", "reason", "Reason", "The", "Station", "Research", "RESULT", "it's", "e-mail",
    "2024", "17", "(see", "above)", "data;", "note:", "Straße", "Grösse", "café", "naïve", "Übersicht",
    "résumé", "Привет", "мир", "東京", "データ", "Ελλάδα", "señor", "jazz", "quota", "kayak",
};

// A document of about size bytes: a header line, then lines of words; some documents get a
// planted text somewhere, some across the border of two blocks.
std::string makeDocument(std::mt19937_64& random, size_t size, int number)
{
    std::string text = "Document " + std::to_string(number) + " - Quarterly Ledger\n";
    text.reserve(size + 200);
    std::uniform_int_distribution<size_t> word(0, std::size(kWords) - 1);
    std::uniform_int_distribution<int> lineWords(6, 16);
    while (text.size() < size) {
        const int count = lineWords(random);
        for (int i = 0; i < count; ++i) {
            text += kWords[word(random)];
            text += ' ';
        }
        text.back() = '\n';
    }
    auto plant = [&](const std::string& what) {
        size_t at;
        if (random() % 4 == 0 && text.size() > kScanBlockSize + 40)
            at = kScanBlockSize - what.size() / 2; // across the first border of blocks
        else
            at = std::uniform_int_distribution<size_t>(40, text.size() - 1)(random);
        text.insert(at, what);
    };
    if (random() % 97 == 0)
        plant(random() % 2 ? " Jazzy QUOKKA " : " jazzy quokka ");
    if (random() % 89 == 0)
        plant(random() % 2 ? " Retina Iteration " : " RETINA iteration ");
    if (random() % 83 == 0)
        plant(random() % 2 ? " GRÖßE " : " Größe ");
    return text;
}

// Where the documents are: made once, kept for the next run.
std::vector<std::string> documents(const std::string& folder, size_t& bytes)
{
    static const char* const kExtensions[] = {".txt", ".TXT", ".log", ".html", ".xml", ".c", ".cpp", ".h",
                                              ".js", ".css", ".ini", ".Txt", ".md.txt", ".htm", ".java"};
    std::vector<std::string> paths;
    std::mt19937_64 random(20261206);
    std::vector<size_t> sizes;
    for (int i = 0; i < kDocuments; ++i) {
        size_t size;
        if (i % 50 == 7)
            size = std::uniform_int_distribution<size_t>(1'000'000, 8'000'000)(random); // a hundred large ones
        else
            size = static_cast<size_t>(std::exponential_distribution<double>(1.0 / 42000)(random)) + 200;
        sizes.push_back(size);
        paths.push_back(folder + "/d" + std::to_string(i / 500) + "/doc" + std::to_string(i)
                        + kExtensions[static_cast<size_t>(i) % std::size(kExtensions)]);
    }
    const std::string marker = folder + "/" + kLayoutVersion;
    if (!fs::exists(marker)) {
        std::fprintf(stderr, "writing %d documents into %s ...\n", kDocuments, folder.c_str());
        fs::remove_all(folder);
        for (int i = 0; i < kDocuments; ++i) {
            fs::create_directories(fs::path(paths[static_cast<size_t>(i)]).parent_path());
            std::ofstream(paths[static_cast<size_t>(i)], std::ios::binary) << makeDocument(random, sizes[static_cast<size_t>(i)], i);
        }
        std::ofstream(marker) << "done\n";
    }
    bytes = 0;
    for (const auto& path : paths)
        bytes += fs::file_size(path);
    return paths;
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs a program and returns its standard output and the wall time.
std::string runTool(const std::vector<std::string>& args, double& wall)
{
    int out[2];
    if (::pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string output;
    char chunk[65536];
    for (ssize_t n; (n = ::read(out[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (spawned == 0)
        ::waitpid(pid, &status, 0);
    wall = seconds(start);
    if (spawned != 0)
        std::fprintf(stderr, "could not start %s\n", argv[0]);
    return output;
}

std::set<std::string> linesOf(const std::string& text)
{
    std::set<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.insert(text.substr(start, end - start));
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder = (fs::temp_directory_path() / "quillory-scan-documents").string();
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--folder=", 9) == 0)
            folder = argv[i] + 9;
    }
    // The same letter-case rules for all three: the UTF-8 locale.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    size_t bytes = 0;
    const std::vector<std::string> paths = documents(folder, bytes);
    std::printf("%d documents, %.0f MB\n", kDocuments, static_cast<double>(bytes) / 1e6);

    // Warm the page cache.
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        char sink[1 << 16];
        while (in.read(sink, sizeof sink))
            ;
    }

    bool allOk = true;
    for (const SearchKind& kind : kKinds) {
        std::vector<double> ours, rg, grep;
        std::set<std::string> found, grepFound;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            DocumentSearcher searcher(kind.text);
            std::set<std::string> hits;
            for (const auto& path : paths) {
                if (searcher.fileContains(path))
                    hits.insert(path);
            }
            ours.push_back(seconds(start));
            found = std::move(hits);

            std::vector<std::string> rgArgs{"rg", "-j1", "-il", "-F", "--no-config", "--", kind.text};
            rgArgs.insert(rgArgs.end(), paths.begin(), paths.end());
            double wall = 0;
            runTool(rgArgs, wall);
            rg.push_back(wall);

            std::vector<std::string> grepArgs{"grep", "-il", "-F", "--", kind.text};
            grepArgs.insert(grepArgs.end(), paths.begin(), paths.end());
            grepFound = linesOf(runTool(grepArgs, wall));
            grep.push_back(wall);
        }
        const double t = median(ours), tRg = median(rg), tGrep = median(grep);
        std::printf("scan %-10s %-18s quillory %7.1f ms  rg %7.1f ms  grep %7.1f ms  found %zu, grep found %zu%s\n",
                    kind.name, ("\"" + std::string(kind.text) + "\"").c_str(), t * 1e3, tRg * 1e3, tGrep * 1e3,
                    found.size(), grepFound.size(), found == grepFound ? "" : "  (DIFFERENT DOCUMENTS)");
        allOk &= printLimit(std::string("scan_") + kind.name + "_vs_rg", t / tRg, kind.rgLimit, "x");
        allOk &= printLimit(std::string("scan_") + kind.name + "_vs_grep", t / tGrep, 1.0, "x");
        allOk &= printLimit(std::string("scan_") + kind.name + "_documents_not_as_grep",
                            static_cast<double>(found == grepFound ? 0 : 1), 0, "sets");
    }
    return allOk ? 0 : 1;
}
