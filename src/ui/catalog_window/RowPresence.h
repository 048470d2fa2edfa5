#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/references/DocumentPresence.h"

namespace quillory {

class DiskProbe;
class PresenceWorker;

// Whether the documents of the rows painted are there, for the index list's marks. Painting
// only asks what is known: a place not known yet counts as there, and is looked at on the
// worker's thread, a batch of places at a time; the rows are painted again once answers come.
// Answers are kept by place until the place is said to have changed (the monitor saw it).
class RowPresence : public QObject {
    Q_OBJECT
public:
    using RootPath = std::function<std::string()>;
    using TipText = std::function<QString(Presence presence, const std::string& place)>;

    RowPresence(const DiskProbe& disk, RootPath root, TipText tip, QObject* parent);
    ~RowPresence() override;

    // What is known of the document at an index's path (as the record gives it); place is
    // set to where it was looked for.
    Presence presenceOf(const std::string& path, std::string* place = nullptr);
    QString tipFor(Presence presence, const std::string& place) const { return tip_(presence, place); }
    // What is known of place, and of everything below it, is out of date.
    void forget(const std::string& place);
    void forgetAll();

signals:
    // Answers came: the rows are to be painted again.
    void answered();

private:
    void askNow();
    void takeAnswers();

    RootPath root_;
    TipText tip_;
    std::unique_ptr<PresenceWorker> worker_;
    std::unordered_map<std::string, Presence> known_;
    std::unordered_set<std::string> asked_; // answers awaited
    std::unordered_set<std::string> reask_; // forgotten while asked: the answer may be stale
    std::vector<std::string> toAsk_;
    bool askWaiting_ = false;
};

} // namespace quillory
