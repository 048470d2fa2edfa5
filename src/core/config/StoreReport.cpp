#include "core/config/StoreReport.h"

#include "core/base/Messages.h"

namespace quillory {

bool report(Messages& messages, const StoreOutcome& outcome)
{
    MessageBatch batch(messages);
    if (!outcome)
        messages.show(outcome.key, MsgButtons::Ok, outcome.detail(messages.text(outcome.reasonKey)));
    for (const StoreOutcome& notice : outcome.notices)
        messages.show(notice.key, MsgButtons::Ok, notice.detail(messages.text(notice.reasonKey)));
    return static_cast<bool>(outcome);
}

void report(Messages& messages, const StoreProblems& problems)
{
    if (problems.empty())
        return;
    MessageBatch batch(messages);
    for (const StoreOutcome& problem : problems.all())
        report(messages, problem);
}

StoreOutcome fileWriteOutcome(const WriteOutcome& written, const std::string& path)
{
    if (written)
        return {};
    return StoreOutcome::failure(written.folderMissing ? "Err009" : "Err014", path, written.reason());
}

} // namespace quillory
