// The document scan against ripgrep and GNU grep, warm in the page cache, over the same explicit
// lists of documents: 5,000 generated text documents (about 650 MB: most small, a few up to 8 MB),
// and the machine's own manual pages and /usr/share/doc files, decompressed, both as the thousands
// of files they are and joined into a few large ones. Each search text is looked for by each tool
// single-threaded, five times in turn; the median of the CPU times (user and system) counts, so
// the ratios hold on a machine busy with other work.
//
//   quillory_scan_bench [--folder=<where the documents are kept between runs>]
//                       [--corpus=generated|joined|files]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
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
constexpr const char* kLayoutVersion = "scan-documents-v4";
constexpr const char* kMachineLayoutVersion = "machine-documents-v2";
constexpr int kRuns = 5;
constexpr double kRgLimit = 1.5, kGrepLimit = 1.0;

struct SearchKind {
    const char* name;
    const char* text;
};

// On the generated documents: rare letters, common letters, a text found nowhere, a text every
// document has in its first block, and a text outside ASCII. None of their words is in the
// vocabulary the documents are written from, so the tools are not slowed down on near misses.
const SearchKind kGeneratedKinds[] = {
    {"rare", "jazzy quokka"},           {"common", "retina iteration"}, {"nomatch", "tornado season"},
    {"firstblock", "quarterly ledger"}, {"nonascii", "größe"},
};

// On the machine's documents, written by others: two texts outside ASCII (one with a letter
// whose other case takes another number of bytes), a word in many pages, a word in one and a
// word in none.
const SearchKind kMachineKinds[] = {
    {"grosse", "größe"}, {"systeme", "système"}, {"common", "terminal"}, {"rare", "quokka"}, {"nomatch", "zyxwvutsrq"},
};

const char* const kWords[] = {
    "the",       "of",       "and",      "to",       "in",       "is",       "was",       "that",     "for",
    "on",        "with",     "as",       "by",       "at",       "from",     "this",      "have",     "are",
    "not",       "but",      "report",   "account",  "meeting",  "project",  "result",    "method",   "sample",
    "station",   "pattern",  "measure",  "interest", "general",  "present",  "service",   "between",  "another",
    "history",   "student",  "natural",  "training", "position", "material", "research",  "evidence", "important",
    "different", "increase", "national", "relation", "retain",   "nation",   "rating",    "iterate",  "reason",
    "Reason",    "The",      "Station",  "Research", "RESULT",   "it's",     "e-mail",    "2024",     "17",
    "(see",      "above)",   "data;",    "note:",    "café",     "naïve",    "Übersicht", "résumé",   "Привет",
    "мир",       "東京",     "データ",   "Ελλάδα",   "señor",    "jazz",     "quota",     "kayak",
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
std::vector<std::string> generatedDocuments(const std::string& folder)
{
    static const char* const kExtensions[] = {".txt", ".TXT", ".log", ".html", ".xml",    ".c",   ".cpp", ".h",
                                              ".js",  ".css", ".ini", ".Txt",  ".md.txt", ".htm", ".java"};
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
            std::ofstream(paths[static_cast<size_t>(i)], std::ios::binary)
                << makeDocument(random, sizes[static_cast<size_t>(i)], i);
        }
        std::ofstream(marker) << "done\n";
    }
    return paths;
}

// Runs a program; returns its standard output, and its CPU time (user and system) in cpu.
std::string runTool(const std::vector<std::string>& args, double& cpu)
{
    int out[2];
    cpu = 0;
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
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string output;
    char chunk[65536];
    for (ssize_t n; (n = ::read(out[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<size_t>(n));
    ::close(out[0]);
    if (spawned != 0) {
        std::fprintf(stderr, "could not start %s\n", argv[0]);
        return output;
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
          + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return output;
}

double processCpu()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::set<std::string> linesOf(const std::string& text)
{
    std::set<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.insert(text.substr(start, end - start));
    return lines;
}

bool holdsNul(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char chunk[1 << 16];
    while (in) {
        in.read(chunk, sizeof chunk);
        if (std::memchr(chunk, 0, static_cast<size_t>(in.gcount())))
            return true;
    }
    return false;
}

// The machine's manual pages and /usr/share/doc files, decompressed, as text documents: the
// thousands of files they are (in files/), and joined into a few large ones (in joined/). Files
// that are links, compressed some other way or hold a NUL byte (pictures, archives) are left out.
// Made once, kept for the next run.
void machineDocuments(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>& joined)
{
    constexpr int kJoined = 8;
    const std::string marker = folder + "/" + kMachineLayoutVersion;
    if (!fs::exists(marker)) {
        std::fprintf(stderr, "copying the manual pages and /usr/share/doc into %s ...\n", folder.c_str());
        fs::remove_all(folder);
        std::vector<fs::path> sources;
        for (const char* root : {"/usr/share/man", "/usr/share/doc"}) {
            std::error_code error;
            for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
                 it != end; it.increment(error)) {
                if (it->is_regular_file(error) && !it->is_symlink(error))
                    sources.push_back(it->path());
            }
        }
        std::sort(sources.begin(), sources.end());
        std::vector<std::string> compressed;
        int number = 0;
        for (const fs::path& source : sources) {
            const std::string extension = source.extension().string();
            if (extension == ".bz2" || extension == ".xz" || extension == ".zst" || extension == ".lz"
                || extension == ".Z")
                continue;
            const bool gzipped = extension == ".gz";
            // Short names: the tools are given all of them at once.
            const std::string path = folder + "/files/" + std::to_string(number / 1000) + "/" + std::to_string(number)
                                     + ".txt";
            ++number;
            fs::create_directories(fs::path(path).parent_path());
            std::error_code error;
            fs::copy_file(source, gzipped ? path + ".gz" : path, fs::copy_options::overwrite_existing, error);
            if (gzipped)
                compressed.push_back(path + ".gz");
        }
        // gzip decompresses them in place, a few hundred at a time.
        for (size_t at = 0; at < compressed.size(); at += 500) {
            std::vector<std::string> args{"gzip", "-d", "-f", "-q", "--"};
            args.insert(args.end(), compressed.begin() + static_cast<std::ptrdiff_t>(at),
                        compressed.begin() + static_cast<std::ptrdiff_t>(std::min(at + 500, compressed.size())));
            double cpu = 0;
            runTool(args, cpu);
        }
        std::vector<std::string> all, kept;
        for (const auto& entry : fs::recursive_directory_iterator(folder + "/files")) {
            if (entry.is_regular_file())
                all.push_back(entry.path().string());
        }
        for (const auto& path : all) {
            if (fs::path(path).extension() != ".txt" || holdsNul(path))
                fs::remove(path);
            else
                kept.push_back(path);
        }
        std::sort(kept.begin(), kept.end());
        size_t total = 0;
        for (const auto& path : kept)
            total += fs::file_size(path);
        fs::create_directories(folder + "/joined");
        size_t written = 0;
        std::ofstream out;
        int part = 0;
        for (const auto& path : kept) {
            if (!out.is_open() || (written > total / kJoined * static_cast<size_t>(part) && part < kJoined)) {
                out.close();
                out.open(folder + "/joined/part" + std::to_string(part++) + ".txt", std::ios::binary);
            }
            std::ifstream in(path, std::ios::binary);
            out << in.rdbuf();
            written += fs::file_size(path);
        }
        out.close();
        std::ofstream(marker) << "done\n";
    }
    for (const char* part : {"/files", "/joined"}) {
        std::vector<std::string>& into = part[1] == 'f' ? files : joined;
        if (!fs::exists(folder + part))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder + part))
            if (entry.is_regular_file())
                into.push_back(entry.path().string());
        std::sort(into.begin(), into.end());
    }
}

size_t bytesOf(const std::vector<std::string>& paths)
{
    size_t bytes = 0;
    for (const auto& path : paths)
        bytes += fs::file_size(path);
    return bytes;
}

void warm(const std::vector<std::string>& paths)
{
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        char sink[1 << 16];
        while (in.read(sink, sizeof sink))
            ;
    }
}

// Each search text over the documents, by the document scan, rg and grep in turn; prints the
// medians and the LIMIT lines, and compares the documents each finds.
bool compare(const char* corpus, const std::vector<std::string>& paths, const SearchKind* kinds, size_t count)
{
    bool allOk = true;
    for (const SearchKind& kind : std::vector<SearchKind>(kinds, kinds + count)) {
        std::vector<double> ours, rg, grep;
        std::set<std::string> found, rgFound, grepFound;
        for (int run = 0; run < kRuns; ++run) {
            const double start = processCpu();
            DocumentSearcher searcher(kind.text);
            std::set<std::string> hits;
            for (const auto& path : paths) {
                if (searcher.fileContains(path))
                    hits.insert(path);
            }
            ours.push_back(processCpu() - start);
            found = std::move(hits);

            double cpu = 0;
            std::vector<std::string> rgArgs{"rg", "-j1", "-il", "-F", "--no-config", "--", kind.text};
            rgArgs.insert(rgArgs.end(), paths.begin(), paths.end());
            rgFound = linesOf(runTool(rgArgs, cpu));
            rg.push_back(cpu);

            std::vector<std::string> grepArgs{"grep", "-il", "-F", "--", kind.text};
            grepArgs.insert(grepArgs.end(), paths.begin(), paths.end());
            grepFound = linesOf(runTool(grepArgs, cpu));
            grep.push_back(cpu);
        }
        const double t = median(ours), tRg = median(rg), tGrep = median(grep);
        std::printf(
            "scan %-9s %-10s %-18s quillory %7.1f ms  rg %7.1f ms  grep %7.1f ms (CPU)  found %zu, rg %zu, grep %zu\n",
            corpus, kind.name, ("\"" + std::string(kind.text) + "\"").c_str(), t * 1e3, tRg * 1e3, tGrep * 1e3,
            found.size(), rgFound.size(), grepFound.size());
        const std::string name = std::string("scan_") + corpus + "_" + kind.name;
        allOk &= printLimit(name + "_vs_rg", t / tRg, kRgLimit, "x");
        allOk &= printLimit(name + "_vs_grep", t / tGrep, kGrepLimit, "x");
        const int differences = (found == rgFound ? 0 : 1) + (found == grepFound ? 0 : 1);
        allOk &= printLimit(name + "_documents_not_as_rg_grep", differences, 0, "sets");
    }
    return allOk;
}

} // namespace

int main(int argc, char** argv)
{
    std::string where = (fs::temp_directory_path() / "quillory-scan-documents").string();
    std::string only; // --corpus=generated|joined|files: that one alone
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--folder=", 9) == 0)
            where = argv[i] + 9;
        else if (std::strncmp(argv[i], "--corpus=", 9) == 0)
            only = argv[i] + 9;
    }
    // The documents are named from there, so that the 26,000 names of the manual pages fit on
    // rg's and grep's command lines.
    fs::create_directories(where);
    fs::current_path(where);
    // The same letter-case rules for all three: the UTF-8 locale.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    // The generated documents of the older layout, kept right there, go.
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("scan-documents-v")
            || (name.size() > 1 && name[0] == 'd' && std::all_of(name.begin() + 1, name.end(), ::isdigit)))
            fs::remove_all(entry.path());
    }

    bool allOk = true;
    if (only.empty() || only == "generated") {
        const std::vector<std::string> generated = generatedDocuments("generated");
        std::printf("generated: %zu documents, %.0f MB\n", generated.size(),
                    static_cast<double>(bytesOf(generated)) / 1e6);
        warm(generated);
        allOk &= compare("generated", generated, kGeneratedKinds, std::size(kGeneratedKinds));
    }
    if (only == "generated")
        return allOk ? 0 : 1;

    std::vector<std::string> files, joined;
    machineDocuments("machine", files, joined);
    if (files.size() < 1000) {
        std::printf("The machine has too few manual pages and documents (%zu); install man-db and manpages.\n",
                    files.size());
        printLimit("scan_machine_documents_missing", 1, 0, "sets");
        return 1;
    }
    std::printf("machine: %zu documents, and the same joined into %zu, %.0f MB\n", files.size(), joined.size(),
                static_cast<double>(bytesOf(joined)) / 1e6);
    if (only.empty() || only == "joined") {
        warm(joined);
        allOk &= compare("joined", joined, kMachineKinds, std::size(kMachineKinds));
    }
    if (only.empty() || only == "files") {
        warm(files);
        allOk &= compare("files", files, kMachineKinds, std::size(kMachineKinds));
    }
    return allOk ? 0 : 1;
}
