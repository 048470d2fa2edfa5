#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/monitor/MovePairing.h"
#include "core/monitor/WatchedFolderTree.h"

namespace quillory {

// Where documents were just before they left (renamed, moved or deleted). For a short while
// that folder stays watched (each departure holds its folder in the tree), and a file that
// appears there under the document's name is the document coming back: editors rename or
// delete a document and write it anew under its name at once. Documents are known by the
// monitor's numbers for them; a document has at most one departure, its latest.
class RecentDepartures {
public:
    using Document = uint32_t;
    static constexpr std::chrono::seconds kReturnWindow{10};

    struct Departure {
        FolderNode folder = kNoFolder;
        std::string name;
        MonitorClock::time_point when;
    };

    explicit RecentDepartures(WatchedFolderTree& tree) : tree_(tree) {}

    // The document left name in folder at when, in place of any departure noted before.
    void note(Document document, FolderNode folder, std::string name, MonitorClock::time_point when,
              std::vector<int>& dropped);
    // Forgets the document's departure; false when there was none. Releasing its folder may drop
    // folders from the tree: their watches are appended to dropped.
    bool drop(Document document, std::vector<int>& dropped);
    // Forgets the departures the return window has passed for; false when there were none.
    bool expire(MonitorClock::time_point now, std::vector<int>& dropped);
    // Forgets them all without touching the tree (which is being built anew).
    void clear();

    // The document's departure, or nullptr.
    const Departure* of(Document document) const;
    // The documents that left name in folder, in no particular order.
    std::vector<Document> leftFrom(FolderNode folder, std::string_view name) const;

private:
    static std::string placeKey(FolderNode folder, std::string_view name);

    WatchedFolderTree& tree_;
    std::unordered_map<Document, Departure> byDocument_;
    std::unordered_multimap<std::string, Document> byPlace_;            // by placeKey
    std::deque<std::pair<MonitorClock::time_point, Document>> inOrder_; // oldest first
};

} // namespace quillory
