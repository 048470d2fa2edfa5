#include "core/monitor/RecentDepartures.h"

#include <cstring>

namespace quillory {

std::string RecentDepartures::placeKey(FolderNode folder, std::string_view name)
{
    std::string key(sizeof folder, '\0');
    std::memcpy(key.data(), &folder, sizeof folder);
    key.append(name);
    return key;
}

void RecentDepartures::note(Document document, FolderNode folder, std::string name, MonitorClock::time_point when,
                            std::vector<int>& dropped)
{
    tree_.hold(folder); // before the earlier departure lets its folder go, which may be this one
    drop(document, dropped);
    byPlace_.emplace(placeKey(folder, name), document);
    inOrder_.emplace_back(when, document);
    byDocument_.emplace(document, Departure{folder, std::move(name), when});
}

bool RecentDepartures::drop(Document document, std::vector<int>& dropped)
{
    const auto found = byDocument_.find(document);
    if (found == byDocument_.end())
        return false;
    auto [first, last] = byPlace_.equal_range(placeKey(found->second.folder, found->second.name));
    for (auto it = first; it != last; ++it) {
        if (it->second == document) {
            byPlace_.erase(it);
            break;
        }
    }
    const FolderNode folder = found->second.folder;
    byDocument_.erase(found);
    tree_.release(folder, dropped);
    return true;
}

bool RecentDepartures::expire(MonitorClock::time_point now, std::vector<int>& dropped)
{
    bool any = false;
    while (!inOrder_.empty() && now - inOrder_.front().first >= kReturnWindow) {
        const auto [when, document] = inOrder_.front();
        inOrder_.pop_front();
        const auto found = byDocument_.find(document);
        if (found != byDocument_.end() && found->second.when == when)
            any = drop(document, dropped) || any;
    }
    return any;
}

void RecentDepartures::clear()
{
    byDocument_.clear();
    byPlace_.clear();
    inOrder_.clear();
}

const RecentDepartures::Departure* RecentDepartures::of(Document document) const
{
    const auto found = byDocument_.find(document);
    return found == byDocument_.end() ? nullptr : &found->second;
}

std::vector<RecentDepartures::Document> RecentDepartures::leftFrom(FolderNode folder, std::string_view name) const
{
    std::vector<Document> documents;
    auto [first, last] = byPlace_.equal_range(placeKey(folder, name));
    for (auto it = first; it != last; ++it)
        documents.push_back(it->second);
    return documents;
}

} // namespace quillory
