#include "ui/catalog_window/RowPresence.h"

#include <QTimer>

#include "core/references/PresenceWorker.h"

namespace quillory {

RowPresence::RowPresence(const DiskProbe& disk, RootPath root, TipText tip, QObject* parent)
    : QObject(parent), root_(std::move(root)), tip_(std::move(tip))
{
    // The worker ends before this object goes, so there is something to tell.
    worker_ = std::make_unique<PresenceWorker>(disk, [this] {
        QMetaObject::invokeMethod(
            this, [this] { takeAnswers(); }, Qt::QueuedConnection);
    });
}

RowPresence::~RowPresence()
{
    worker_.reset(); // its thread ends while this object can still be told
}

Presence RowPresence::presenceOf(const std::string& path, std::string* place)
{
    std::string where = placeOnDisk(path, root_());
    if (where.empty())
        return Presence::Present; // web addresses and blank paths are never marked
    Presence presence = Presence::Present;
    if (const auto found = known_.find(where); found != known_.end()) {
        presence = found->second;
    } else if (asked_.insert(where).second) {
        toAsk_.push_back(where);
        if (!askWaiting_) {
            // The rows of one paint are asked together.
            askWaiting_ = true;
            QTimer::singleShot(0, this, [this] { askNow(); });
        }
    }
    if (place)
        *place = std::move(where);
    return presence;
}

void RowPresence::askNow()
{
    askWaiting_ = false;
    worker_->ask(std::exchange(toAsk_, {}));
}

void RowPresence::takeAnswers()
{
    bool changed = false;
    for (auto& [place, presence] : worker_->take()) {
        asked_.erase(place);
        if (reask_.erase(place) != 0) {
            changed = true; // looked at before it changed: the paint asks again
            continue;
        }
        const auto [it, added] = known_.try_emplace(place, presence);
        changed |= added ? presence != Presence::Present : it->second != presence;
        it->second = presence;
    }
    if (changed)
        emit answered();
}

void RowPresence::forget(const std::string& place)
{
    const std::string below = place + "/";
    for (auto it = known_.begin(); it != known_.end();) {
        if (it->first == place || it->first.starts_with(below)) {
            it = known_.erase(it);
        } else {
            ++it;
        }
    }
    for (const std::string& asked : asked_) {
        if (asked == place || asked.starts_with(below))
            reask_.insert(asked);
    }
    // The rows painted ask again.
    emit answered();
}

void RowPresence::forgetAll()
{
    known_.clear();
    reask_.insert(asked_.begin(), asked_.end());
    emit answered();
}

} // namespace quillory
