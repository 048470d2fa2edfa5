// The monitor's changes on disk: the watcher's notices, their halves joined, and what each
// rename, creation and deletion does to the documents followed.
#include <algorithm>

#include "core/base/Paths.h"
#include "core/monitor/ChangeMonitor.h"

namespace quillory {

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
    for (const Slot slot : departures_.leftFrom(parent, name)) {
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

} // namespace quillory
