#include "core/monitor/ChangeMonitor.h"

#include <algorithm>
#include <cstring>

#include "core/base/Paths.h"

namespace quillory {

void WatchChanges::append(WatchChanges&& more)
{
    foldersToWatch.insert(foldersToWatch.end(), std::make_move_iterator(more.foldersToWatch.begin()),
                          std::make_move_iterator(more.foldersToWatch.end()));
    watchesToRemove.insert(watchesToRemove.end(), more.watchesToRemove.begin(), more.watchesToRemove.end());
}

ChangeMonitor::ChangeMonitor(const DiskProbe& disk, Clock clock, std::chrono::milliseconds moveGrace)
    : disk_(disk), clock_(std::move(clock)), pairing_(moveGrace)
{}

bool isInTrash(std::string_view plain)
{
    // The desktop's trash: <data folder>/Trash/files in the home, .Trash-<uid> or .Trash/<uid>
    // at the top of other volumes.
    std::string_view before;
    for (size_t at = 1; at < plain.size();) {
        const size_t end = std::min(plain.find('/', at), plain.size());
        const std::string_view part = plain.substr(at, end - at);
        if (part == ".Trash" || part.starts_with(".Trash-") || (before == "Trash" && part == "files"))
            return true;
        before = part;
        at = end + 1;
    }
    return false;
}

// ---- the documents followed ----

WatchChanges ChangeMonitor::load(const std::vector<IndexedDocument>& documents)
{
    WatchChanges changes = unload();
    std::vector<FolderNode> added;
    for (const IndexedDocument& document : documents)
        addOne(document, added, false);
    for (std::vector<Slot>& list : documentsIn_) {
        std::stable_sort(list.begin(), list.end(),
                         [this](Slot a, Slot b) { return nameOf(documents_[a]) < nameOf(documents_[b]); });
    }
    changes.append(changesFrom(added, {}));
    return changes;
}

WatchChanges ChangeMonitor::unload()
{
    WatchChanges changes;
    for (const FolderNode folder : tree_.subtree(WatchedFolderTree::root())) {
        if (tree_.watchOf(folder) != kNoWatch)
            changes.watchesToRemove.push_back(tree_.watchOf(folder));
    }
    retiredWatches_.insert(changes.watchesToRemove.begin(), changes.watchesToRemove.end());
    pairing_.flush();
    tree_ = WatchedFolderTree();
    byId_.clear();
    documents_.clear();
    freeSlots_.clear();
    documentsIn_.clear();
    departures_.clear();
    departedFrom_.clear();
    departureOrder_.clear();
    lastParent_.clear();
    identities_.clear();
    identitiesKnown_ = false;
    return changes;
}

void ChangeMonitor::rememberIdentities()
{
    identities_.assign(documents_.size(), FileIdentity{});
    for (Slot slot = 0; slot < documents_.size(); ++slot) {
        if (documents_[slot].used && !documents_[slot].gone)
            identities_[slot] = disk_.identify(currentPath(documents_[slot]));
    }
    for (const FolderNode folder : tree_.subtree(WatchedFolderTree::root()))
        tree_.setIdentity(folder, disk_.identify(tree_.pathOf(folder)));
    identitiesKnown_ = true;
}

void ChangeMonitor::setWatch(const std::string& folder, int watch)
{
    const FolderNode node = tree_.find(plainPath(folder));
    if (node == kNoFolder)
        return;
    tree_.setWatch(node, watch);
    retiredWatches_.erase(watch);
}

WatchChanges ChangeMonitor::addDocument(const IndexedDocument& document)
{
    std::vector<FolderNode> added;
    lastParent_.clear();
    addOne(document, added, true);
    return changesFrom(added, {});
}

WatchChanges ChangeMonitor::removeDocument(const std::string& indexId)
{
    const auto found = byId_.find(indexId);
    if (found == byId_.end())
        return {};
    std::vector<int> dropped;
    removeOne(found->second, dropped);
    return changesFrom({}, std::move(dropped));
}

std::optional<ChangeMonitor::Slot> ChangeMonitor::addOne(const IndexedDocument& document,
                                                         std::vector<FolderNode>& added, bool keepSorted)
{
    const std::string plain = plainPath(document.path);
    if (plain.size() <= 1 || document.indexId.empty() || byId_.count(document.indexId))
        return std::nullopt; // a web address, or a path that names no file
    const std::string_view parentPath = parentPathOf(plain);
    if (tree_.size() == 1 && tree_.watchOf(WatchedFolderTree::root()) == kNoWatch
        && (added.empty() || added.front() != WatchedFolderTree::root()))
        added.push_back(WatchedFolderTree::root()); // "/" too: renaming anything at the top is seen there
    // Documents come folder by folder: the last folder found is most likely the next one's.
    const FolderNode folder = !lastParent_.empty() && parentPath == lastParent_ ? lastFolder_
                                                                                : tree_.ensure(parentPath, added);
    lastParent_ = parentPath;
    lastFolder_ = folder;

    Slot slot;
    if (freeSlots_.empty()) {
        slot = static_cast<Slot>(documents_.size());
        documents_.emplace_back();
    } else {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    }
    Document& doc = documents_[slot];
    doc = Document{document.indexId, document.path, {}, folder, 0, 0, false, true};
    // The name is a whole part of the path as given, even where that is not plain ("/a/./b.txt/").
    const std::string_view name = lastNameOf(plain);
    for (size_t at = doc.loadedPath.rfind(name); at != std::string::npos && at > 0;
         at = doc.loadedPath.rfind(name, at - 1)) {
        const size_t end = at + name.size();
        if (doc.loadedPath[at - 1] == '/' && (end == doc.loadedPath.size() || doc.loadedPath[end] == '/')) {
            doc.loadedNameAt = static_cast<uint32_t>(at);
            doc.loadedNameSize = static_cast<uint32_t>(name.size());
            break;
        }
    }
    byId_.emplace(doc.id, slot);
    tree_.hold(folder);
    std::vector<Slot>& list = documentsIn(folder);
    if (keepSorted) {
        list.insert(std::upper_bound(list.begin(), list.end(), nameOf(doc),
                                     [this](std::string_view name, Slot s) { return name < nameOf(documents_[s]); }),
                    slot);
        if (identitiesKnown_)
            setIdentity(slot, disk_.identify(plain));
    } else {
        list.push_back(slot);
    }
    return slot;
}

void ChangeMonitor::removeOne(Slot slot, std::vector<int>& dropped)
{
    Document& doc = documents_[slot];
    std::vector<Slot>& list = documentsIn(doc.folder);
    list.erase(std::find(list.begin(), list.end(), slot));
    lastParent_.clear(); // the folder may be dropped below
    dropDeparture(slot, dropped);
    tree_.release(doc.folder, dropped);
    pending_.erase(doc.id);
    byId_.erase(doc.id);
    doc = Document{};
    doc.used = false;
    freeSlots_.push_back(slot);
}

// ---- where each document is ----

std::string_view ChangeMonitor::loadedNameOf(const Document& doc) const
{
    return std::string_view(doc.loadedPath).substr(doc.loadedNameAt, doc.loadedNameSize);
}

void ChangeMonitor::setIdentity(Slot slot, FileIdentity identity)
{
    if (slot >= identities_.size())
        identities_.resize(documents_.size());
    identities_[slot] = identity;
}

std::string ChangeMonitor::currentPath(const Document& doc) const
{
    return doc.gone ? std::string() : joinPath(tree_.pathOf(doc.folder), nameOf(doc));
}

std::vector<ChangeMonitor::Slot>& ChangeMonitor::documentsIn(FolderNode node)
{
    if (node >= documentsIn_.size())
        documentsIn_.resize(node + 1);
    return documentsIn_[node];
}

std::vector<ChangeMonitor::Slot> ChangeMonitor::documentsAt(FolderNode folder, std::string_view name) const
{
    std::vector<Slot> found;
    if (folder >= documentsIn_.size())
        return found;
    const std::vector<Slot>& list = documentsIn_[folder];
    auto at = std::lower_bound(list.begin(), list.end(), name,
                               [this](Slot s, std::string_view n) { return nameOf(documents_[s]) < n; });
    for (; at != list.end() && nameOf(documents_[*at]) == name; ++at) {
        if (!documents_[*at].gone)
            found.push_back(*at);
    }
    return found;
}

std::string ChangeMonitor::placeKey(FolderNode folder, std::string_view name)
{
    std::string key(sizeof folder, '\0');
    std::memcpy(key.data(), &folder, sizeof folder);
    key.append(name);
    return key;
}

void ChangeMonitor::place(Slot slot, FolderNode folder, std::string name, bool gone, std::vector<int>& dropped)
{
    Document& doc = documents_[slot];
    const FolderNode oldFolder = doc.folder;
    tree_.hold(folder); // before anything is released, so that no folder still needed is dropped
    if (folder != oldFolder || name != nameOf(doc)) {
        std::vector<Slot>& oldList = documentsIn(oldFolder);
        oldList.erase(std::find(oldList.begin(), oldList.end(), slot));
        doc.folder = folder;
        if (name == loadedNameOf(doc))
            doc.name = std::string();
        else
            doc.name = std::move(name);
        std::vector<Slot>& list = documentsIn(folder);
        list.insert(std::upper_bound(list.begin(), list.end(), nameOf(doc),
                                     [this](std::string_view n, Slot s) { return n < nameOf(documents_[s]); }),
                    slot);
    }
    doc.gone = gone;
    lastParent_.clear();
    const auto left = departures_.find(slot);
    if (!gone && left != departures_.end() && left->second.folder == folder && left->second.name == nameOf(doc))
        dropDeparture(slot, dropped);
    tree_.release(oldFolder, dropped);
}

void ChangeMonitor::moveDocument(Slot slot, FolderNode folder, const std::string& name, std::vector<int>& dropped)
{
    tree_.hold(folder); // the place it leaves may be all that kept folder
    noteDeparture(slot, dropped);
    place(slot, folder, name, false, dropped);
    tree_.release(folder, dropped);
}

void ChangeMonitor::noteDeparture(Slot slot, std::vector<int>& dropped)
{
    const Document& doc = documents_[slot];
    if (doc.gone)
        return;
    dropDeparture(slot, dropped);
    Departure departure{doc.folder, std::string(nameOf(doc)), clock_()};
    tree_.hold(departure.folder);
    departedFrom_.emplace(placeKey(departure.folder, departure.name), slot);
    departureOrder_.emplace_back(departure.when, slot);
    departures_.emplace(slot, std::move(departure));
}

void ChangeMonitor::dropDeparture(Slot slot, std::vector<int>& dropped)
{
    const auto found = departures_.find(slot);
    if (found == departures_.end())
        return;
    auto [first, last] = departedFrom_.equal_range(placeKey(found->second.folder, found->second.name));
    for (auto it = first; it != last; ++it) {
        if (it->second == slot) {
            departedFrom_.erase(it);
            break;
        }
    }
    const FolderNode folder = found->second.folder;
    departures_.erase(found);
    lastParent_.clear();
    tree_.release(folder, dropped);
}

void ChangeMonitor::expireDepartures(std::vector<int>& dropped)
{
    const MonitorClock::time_point now = clock_();
    while (!departureOrder_.empty() && now - departureOrder_.front().first >= kReturnWindow) {
        const auto [when, slot] = departureOrder_.front();
        departureOrder_.pop_front();
        const auto found = departures_.find(slot);
        if (found != departures_.end() && found->second.when == when)
            dropDeparture(slot, dropped);
    }
}

void ChangeMonitor::record(Slot slot)
{
    const Document& doc = documents_[slot];
    const std::string current = currentPath(doc);
    // Back where it was indexed, with nothing written about it yet: there is nothing to tell.
    if (!doc.gone && current == plainPath(doc.loadedPath) && !written_.count(doc.id))
        pending_.erase(doc.id);
    else
        pending_.put(PendingChange{doc.id, doc.loadedPath, current});
}

WatchChanges ChangeMonitor::changesFrom(const std::vector<FolderNode>& added, std::vector<int>&& dropped)
{
    WatchChanges changes;
    for (const FolderNode folder : added)
        changes.foldersToWatch.push_back(tree_.pathOf(folder));
    retiredWatches_.insert(dropped.begin(), dropped.end());
    changes.watchesToRemove = std::move(dropped);
    return changes;
}

// ---- changes on disk ----

WatchChanges ChangeMonitor::HandleShellNotify(const WatchEvent& event)
{
    std::vector<int> dropped;
    expireDepartures(dropped);
    WatchChanges changes = changesFrom({}, std::move(dropped));
    switch (event.kind) {
    case WatchEventKind::RenamedFile:
    case WatchEventKind::RenamedFolder:
        changes.append(moved(plainPath(event.oldPath), plainPath(event.newPath)));
        break;
    case WatchEventKind::Created: changes.append(arrived(plainPath(event.newPath))); break;
    case WatchEventKind::DeletedFile:
    case WatchEventKind::DeletedFolder: changes.append(departed(plainPath(event.oldPath))); break;
    case WatchEventKind::EventsLost: changes.append(compareWithDisk()); break;
    }
    return changes;
}

WatchChanges ChangeMonitor::moved(const std::string& from, const std::string& to)
{
    if (from == to || from.size() <= 1 || to.size() <= 1)
        return {};
    if (isInTrash(to) && !isInTrash(from))
        return departed(from); // thrown away, even where the trash happens to be watched
    const FolderNode fromParent = tree_.find(parentPathOf(from));
    const std::string_view fromName = lastNameOf(from);
    const std::vector<Slot> docs = fromParent == kNoFolder ? std::vector<Slot>() : documentsAt(fromParent, fromName);
    const FolderNode node = fromParent == kNoFolder ? kNoFolder : tree_.child(fromParent, fromName);
    if (docs.empty() && node == kNoFolder)
        return arrived(to); // nothing followed was there; something may be back where it belongs

    std::vector<FolderNode> added;
    std::vector<int> dropped;
    const FolderNode newParent = tree_.ensure(parentPathOf(to), added);
    const std::string newName(lastNameOf(to));
    if (node != kNoFolder && !tree_.move(node, newParent, newName, dropped)) {
        // Onto a folder followed already (an empty one it replaced): what was below is out of sight.
        WatchChanges changes = departed(from);
        changes.append(changesFrom(added, std::move(dropped)));
        return changes;
    }
    for (const Slot slot : docs) {
        moveDocument(slot, newParent, newName, dropped);
        record(slot);
    }
    if (node != kNoFolder) {
        for (const FolderNode below : tree_.subtree(node)) {
            for (const Slot slot : std::vector<Slot>(documentsIn(below))) {
                if (!documents_[slot].gone)
                    record(slot);
            }
        }
    }
    comeBack(to, dropped);
    return changesFrom(added, std::move(dropped));
}

WatchChanges ChangeMonitor::arrived(const std::string& path)
{
    std::vector<int> dropped;
    comeBack(path, dropped);
    WatchChanges changes = changesFrom({}, std::move(dropped));
    // A folder followed before that is back (out of the trash, say): watched again, with the
    // documents below it that are there.
    const FolderNode parent = tree_.find(parentPathOf(path));
    const FolderNode node = parent == kNoFolder || path.size() <= 1 ? kNoFolder : tree_.child(parent, lastNameOf(path));
    if (node == kNoFolder)
        return changes;
    std::vector<FolderNode> unwatched;
    dropped.clear();
    for (const FolderNode below : tree_.subtree(node)) {
        if (tree_.watchOf(below) == kNoWatch)
            unwatched.push_back(below);
        for (const Slot slot : std::vector<Slot>(documentsIn(below))) {
            const Document& doc = documents_[slot];
            if (doc.gone && disk_.exists(joinPath(tree_.pathOf(below), nameOf(doc)))) {
                place(slot, below, std::string(nameOf(doc)), false, dropped);
                record(slot);
            }
        }
    }
    changes.append(changesFrom(unwatched, std::move(dropped)));
    return changes;
}

void ChangeMonitor::comeBack(const std::string& path, std::vector<int>& dropped)
{
    const FolderNode parent = tree_.find(parentPathOf(path));
    if (parent == kNoFolder)
        return;
    const std::string name(lastNameOf(path));
    if (identitiesKnown_) { // a file written anew in place of a document is that document now
        for (const Slot slot : documentsAt(parent, name))
            setIdentity(slot, disk_.identify(path));
    }
    std::vector<Slot> back;
    auto [first, last] = departedFrom_.equal_range(placeKey(parent, name));
    for (auto it = first; it != last; ++it)
        back.push_back(it->second);
    for (const Slot slot : back) {
        place(slot, parent, name, false, dropped);
        if (identitiesKnown_)
            setIdentity(slot, disk_.identify(path));
        record(slot);
    }
}

WatchChanges ChangeMonitor::departed(const std::string& path)
{
    const FolderNode parent = tree_.find(parentPathOf(path));
    if (parent == kNoFolder || path.size() <= 1)
        return {};
    std::vector<int> dropped;
    const auto leave = [&](Slot slot) {
        noteDeparture(slot, dropped);
        const Document& doc = documents_[slot];
        place(slot, doc.folder, std::string(nameOf(doc)), true, dropped);
        record(slot);
    };
    for (const Slot slot : documentsAt(parent, lastNameOf(path)))
        leave(slot);
    const FolderNode node = tree_.child(parent, lastNameOf(path));
    if (node != kNoFolder) {
        tree_.forgetWatches(node, dropped); // gone, or watched elsewhere under names unknown here
        for (const FolderNode below : tree_.subtree(node)) {
            for (const Slot slot : std::vector<Slot>(documentsIn(below))) {
                if (!documents_[slot].gone)
                    leave(slot);
            }
        }
    }
    return changesFrom({}, std::move(dropped));
}

// ---- the watcher's notices ----

WatchChanges ChangeMonitor::take(const WatchNotice& notice)
{
    WatchChanges changes;
    for (const JoinedNotice& joined : pairing_.take(notice, clock_()))
        changes.append(handleJoined(joined));
    return changes;
}

WatchChanges ChangeMonitor::expireMoves()
{
    WatchChanges changes;
    for (const JoinedNotice& joined : pairing_.expire(clock_()))
        changes.append(handleJoined(joined));
    return changes;
}

std::optional<std::string> ChangeMonitor::pathOfNotice(const WatchNotice& notice) const
{
    const FolderNode folder = tree_.nodeOfWatch(notice.watch);
    if (folder == kNoFolder || notice.name.empty())
        return std::nullopt;
    return joinPath(tree_.pathOf(folder), notice.name);
}

WatchChanges ChangeMonitor::handleJoined(const JoinedNotice& joined)
{
    // A notice from a watch given up is old news; from a watch never known, a sign of loss.
    const auto retired = [this](const WatchNotice& n) { return retiredWatches_.count(n.watch) != 0; };
    const auto fileOrFolder = [&](WatchEventKind file, WatchEventKind folder) {
        return joined.isFolder ? folder : file;
    };
    const std::optional<std::string> from = pathOfNotice(joined.from);
    const std::optional<std::string> to = pathOfNotice(joined.to);
    switch (joined.kind) {
    case JoinedNotice::Kind::Created:
        if (to)
            return HandleShellNotify(WatchEvent{WatchEventKind::Created, {}, *to});
        return retired(joined.to) ? WatchChanges() : compareWithDisk();
    case JoinedNotice::Kind::Deleted:
        if (from)
            return HandleShellNotify(
                WatchEvent{fileOrFolder(WatchEventKind::DeletedFile, WatchEventKind::DeletedFolder), *from, {}});
        return retired(joined.from) ? WatchChanges() : compareWithDisk();
    case JoinedNotice::Kind::Moved:
        if (from && to)
            return HandleShellNotify(
                WatchEvent{fileOrFolder(WatchEventKind::RenamedFile, WatchEventKind::RenamedFolder), *from, *to});
        if (from && retired(joined.to))
            return HandleShellNotify(
                WatchEvent{fileOrFolder(WatchEventKind::DeletedFile, WatchEventKind::DeletedFolder), *from, {}});
        if (to && retired(joined.from))
            return HandleShellNotify(WatchEvent{WatchEventKind::Created, {}, *to});
        return retired(joined.from) && retired(joined.to) ? WatchChanges() : compareWithDisk();
    case JoinedNotice::Kind::EventsLost: return compareWithDisk();
    }
    return {};
}

// ---- what others ask ----

std::string ChangeMonitor::findMonitorEntry(std::string_view path) const
{
    const std::string plain = plainPath(path);
    const FolderNode parent = tree_.find(parentPathOf(plain));
    if (parent == kNoFolder || plain.size() <= 1)
        return {};
    const std::vector<Slot> docs = documentsAt(parent, lastNameOf(plain));
    if (docs.empty())
        return {};
    const Document& first = documents_[*std::min_element(docs.begin(), docs.end())];
    return first.id + '|' + currentPath(first);
}

std::optional<std::string> ChangeMonitor::loadedPathOf(const std::string& indexId) const
{
    const auto found = byId_.find(indexId);
    return found == byId_.end() ? std::nullopt : std::optional(documents_[found->second].loadedPath);
}

std::optional<std::string> ChangeMonitor::currentPathOf(const std::string& indexId) const
{
    const auto found = byId_.find(indexId);
    return found == byId_.end() ? std::nullopt : std::optional(currentPath(documents_[found->second]));
}

bool ChangeMonitor::writePendingRecords(PendingChangeSink& sink)
{
    if (pending_.empty())
        return true;
    const std::vector<PendingChange> records = pending_.inOrder();
    if (!sink.appendPendingChanges(records))
        return false;
    for (const PendingChange& change : records)
        written_.insert(change.indexId);
    pending_.clear();
    return true;
}

} // namespace quillory
