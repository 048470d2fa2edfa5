// Checking a catalog's references and finding moved documents again, on 100,000 real documents
// in a temporary folder (1,000 folders of 100), warm in the page cache: the check of every
// reference with the fingerprint cache read before and written after, as a catalog's check
// does; then the search for 100 documents moved while nobody looked (50 into other folders under
// their names, 50 renamed in place) through the whole root. Times are CPU times of the process
// (user and kernel), medians of five runs; each figure is printed as a LIMIT line.
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Limits.h"
#include "core/references/FingerprintCache.h"
#include "core/references/ReferenceCheck.h"
#include "core/references/RefindSearch.h"
#include "support/TempDir.h"

using namespace quillory;
using namespace quillory::bench;

namespace {

constexpr int kRuns = 5;
constexpr int kFolders = 1000;
constexpr int kPerFolder = 100;
constexpr int kMoved = 100;

// What each is asked to keep (2 s to check, 5 s to find again), or twice the figure measured
// when it was written where that is less: 560 to 600 ms CPU to check (most of it the kernel's,
// three calls per document), 690 to 770 ms to find again (reading 100,000 folder entries, and
// the fingerprints of the documents whose size is that of a missing one).
constexpr double kCheckLimitMs = 1100;
constexpr double kRefindLimitMs = 1350;

double cpuMilliseconds()
{
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

void writeDocument(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("cannot write " + path);
    ::close(fd);
}

std::string folderPath(const std::string& root, int folder)
{
    return root + "/f" + std::to_string(folder);
}

std::string documentPath(const std::string& root, int folder, int document)
{
    return folderPath(root, folder) + "/doc" + std::to_string(document) + ".txt";
}

// The catalog's documents, each with a content of its own, and an index for each.
std::vector<IndexReference> makeDocuments(const std::string& root)
{
    std::vector<IndexReference> references;
    references.reserve(kFolders * kPerFolder);
    ::mkdir(root.c_str(), 0755);
    for (int folder = 0; folder < kFolders; ++folder) {
        ::mkdir(folderPath(root, folder).c_str(), 0755);
        std::string folderId = "D";
        folderId += std::to_string(folder + 1);
        for (int document = 0; document < kPerFolder; ++document) {
            const std::string path = documentPath(root, folder, document);
            writeDocument(path, "document " + std::to_string(folder) + "/" + std::to_string(document) + "\n");
            references.push_back({folderId, folderId + "!C" + std::to_string(document + 1), path});
        }
    }
    return references;
}

// One full check, with the cache read from and written to cacheFile; the number not ok.
size_t checkAll(const std::vector<IndexReference>& references, const std::string& root, const std::string& cacheFile)
{
    FingerprintCache cache;
    cache.load(defaultFileIo(), cacheFile);
    ReferenceCheck check(references, root, [](const std::string&) { return true; });
    check.useFingerprintCache(&cache);
    while (check.step()) {}
    cache.dropUnused();
    if (!cache.save(defaultFileIo(), cacheFile))
        throw std::runtime_error("cannot write " + cacheFile);
    return check.findings().size();
}

} // namespace

int main()
{
    test::TempDir temp;
    const std::string root = temp / "root";
    const std::string cacheFile = FingerprintCache::fileFor(root, temp / "cache");
    std::printf("making %d documents...\n", kFolders * kPerFolder);
    std::fflush(stdout);
    const std::vector<IndexReference> references = makeDocuments(root);

    // The first check reads every document's fingerprint; the ones measured find them cached.
    checkAll(references, root, cacheFile);
    std::vector<double> checkMs;
    for (int run = 0; run < kRuns; ++run) {
        const double start = cpuMilliseconds();
        const size_t broken = checkAll(references, root, cacheFile);
        checkMs.push_back(cpuMilliseconds() - start);
        if (broken != 0)
            throw std::runtime_error("the check found " + std::to_string(broken) + " broken references");
    }
    std::printf("check: %zu references in %.0f ms CPU\n", references.size(), median(checkMs));

    // Every 1,000th document moves: half of them into a new folder under their names (each name is
    // in every folder, and often with the same size), half to another name in place.
    std::vector<IndexReference> missing;
    std::vector<std::string> expected;
    for (int at = 0; at < kMoved; ++at) {
        const int folder = at * (kFolders / kMoved);
        const int document = at % kPerFolder;
        const std::string from = documentPath(root, folder, document);
        const std::string movedFolder = folderPath(root, folder + 1) + "/moved";
        ::mkdir(movedFolder.c_str(), 0755);
        const std::string to = at % 2 == 0 ? movedFolder + "/doc" + std::to_string(document) + ".txt"
                                           : folderPath(root, folder) + "/renamed" + std::to_string(at);
        if (::rename(from.c_str(), to.c_str()) != 0)
            throw std::runtime_error("cannot move " + from);
        missing.push_back(references[static_cast<size_t>(folder * kPerFolder + document)]);
        expected.push_back(to);
    }
    FingerprintCache cache;
    cache.load(defaultFileIo(), cacheFile);
    std::vector<double> refindMs;
    for (int run = 0; run < kRuns; ++run) {
        const double start = cpuMilliseconds();
        RefindSearch search(missing, root, &cache);
        const std::vector<RepairOffer> offers = search.run();
        refindMs.push_back(cpuMilliseconds() - start);
        // Each document is found where it went, and first.
        size_t next = 0;
        for (size_t at = 0; at < missing.size(); ++at) {
            while (next < offers.size() && offers[next].reference.indexId != missing[at].indexId)
                ++next;
            if (next == offers.size() || offers[next].newPath != expected[at])
                throw std::runtime_error(missing[at].path + " was not found at " + expected[at]);
            ++next;
        }
        if (run == 0)
            std::printf("refind: %zu files seen, %zu offers\n", search.filesSeen(), offers.size());
    }
    std::printf("refind: %d moved documents in %.0f ms CPU\n", kMoved, median(refindMs));

    const bool ok = printLimit("check_100000", median(checkMs), kCheckLimitMs, "ms")
                    & printLimit("refind_100000_files", median(refindMs), kRefindLimitMs, "ms");
    return ok ? 0 : 1;
}
