// The store's caches as a whole, and how its outcomes reach the user.
#include "core/store/qlrDbOpe.h"

#include "core/config/Messages.h"

namespace quillory {

void qlrDbOpe::resetStoreCache()
{
    dirMapCache_ = std::make_shared<DirMap>();
    contentMapCache_ = MyMap<ContentMap>();
    incompleteFiles_.clear();
    notify(StoreChange::Kind::CachesDropped);
}

void qlrDbOpe::takeProblems(const std::string& path, bool complete, const StoreProblems& found, StoreProblems& problems)
{
    if (complete) {
        incompleteFiles_.erase(path); // the cache now holds the whole file
        problems.append(found);
        return;
    }
    // Read again and again while its cached copy is empty: told the first time only.
    if (incompleteFiles_.insert(path).second)
        problems.append(found);
}

StoreOutcome qlrDbOpe::refuseIfIncomplete(const std::string& path, const char* errorKey) const
{
    return incompleteFiles_.count(path) ? StoreOutcome::failure(errorKey, path) : StoreOutcome{};
}

StoreOutcome qlrDbOpe::outcomeOf(const WriteOutcome& written, const std::string& path, const char* errorKey)
{
    if (written)
        return {};
    return StoreOutcome::failure(written.folderMissing ? "Err009" : errorKey, path, written.reason());
}

void qlrDbOpe::report(const StoreProblems& problems)
{
    if (problems.empty())
        return;
    MessageBatch batch(messages_);
    for (const StoreOutcome& problem : problems.all())
        messages_.show(problem.key, MsgButtons::Ok, problem.detail());
}

bool qlrDbOpe::report(const StoreOutcome& outcome)
{
    if (!outcome)
        messages_.show(outcome.key, MsgButtons::Ok, outcome.detail());
    return static_cast<bool>(outcome);
}

} // namespace quillory
