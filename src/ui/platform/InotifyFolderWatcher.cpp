#include "ui/platform/InotifyFolderWatcher.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace quillory {

namespace {

// Only what happens to a folder's entries: a folder that goes away is seen from its parent,
// which is watched too.
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

} // namespace

InotifyFolderWatcher::InotifyFolderWatcher(QObject* parent) : FolderWatcher(parent) {}

InotifyFolderWatcher::~InotifyFolderWatcher()
{
    close();
}

bool InotifyFolderWatcher::open()
{
    if (fd_ >= 0)
        return true;
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return false;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readNow(); });
    notifier_->setEnabled(!paused_);
    return true;
}

void InotifyFolderWatcher::close()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_); // the kernel drops the watches and what was queued
    fd_ = -1;
    watches_.clear();
}

WatchResult InotifyFolderWatcher::watch(const std::string& folder)
{
    if (!open())
        return {errno == EMFILE ? WatchOutcome::LimitReached : WatchOutcome::Unavailable, kNoWatch};
    const int wd = inotify_add_watch(fd_, folder.c_str(), kWatchMask);
    if (wd < 0)
        return {errno == ENOSPC ? WatchOutcome::LimitReached : WatchOutcome::Unavailable, kNoWatch};
    ++watches_[wd]; // the same folder (or a link to it) gets the same descriptor
    return {WatchOutcome::Watched, wd};
}

void InotifyFolderWatcher::unwatch(int watch)
{
    const auto found = watches_.find(watch);
    if (found == watches_.end())
        return;
    if (--found->second > 0)
        return;
    watches_.erase(found);
    inotify_rm_watch(fd_, watch);
}

void InotifyFolderWatcher::stop()
{
    close();
    paused_ = false;
}

void InotifyFolderWatcher::pause()
{
    paused_ = true;
    if (notifier_)
        notifier_->setEnabled(false);
}

void InotifyFolderWatcher::resume()
{
    paused_ = false;
    if (notifier_)
        notifier_->setEnabled(true); // what waited is read from the event loop
}

void InotifyFolderWatcher::readNow()
{
    alignas(inotify_event) char buffer[64 * 1024];
    while (fd_ >= 0 && !paused_) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR)
                continue;
            return; // EAGAIN: nothing more queued
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            WatchNotice notice;
            if (event->mask & IN_Q_OVERFLOW) {
                notice.kind = WatchNotice::Kind::EventsLost;
                emit noticed(notice);
                continue;
            }
            if (event->mask & IN_IGNORED) {
                watches_.erase(event->wd); // the folder is gone, or was unwatched
                continue;
            }
            if (event->mask & IN_CREATE)
                notice.kind = WatchNotice::Kind::Created;
            else if (event->mask & IN_DELETE)
                notice.kind = WatchNotice::Kind::Deleted;
            else if (event->mask & IN_MOVED_FROM)
                notice.kind = WatchNotice::Kind::MovedFrom;
            else if (event->mask & IN_MOVED_TO)
                notice.kind = WatchNotice::Kind::MovedTo;
            else
                continue;
            notice.watch = event->wd;
            notice.name = event->len ? std::string(event->name) : std::string();
            notice.isFolder = (event->mask & IN_ISDIR) != 0;
            notice.cookie = event->cookie;
            emit noticed(notice);
            if (fd_ < 0)
                return; // a receiver stopped the watcher
        }
    }
}

} // namespace quillory
