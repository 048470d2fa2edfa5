#include "core/store/StoreOutcome.h"

namespace quillory {

StoreOutcome StoreOutcome::failure(std::string key, std::string path, std::string reason)
{
    StoreOutcome outcome;
    outcome.key = std::move(key);
    outcome.path = std::move(path);
    outcome.reason = std::move(reason);
    return outcome;
}

StoreOutcome StoreOutcome::failureFor(std::string key, std::string path, std::string reasonKey)
{
    StoreOutcome outcome = failure(std::move(key), std::move(path));
    outcome.reasonKey = std::move(reasonKey);
    return outcome;
}

std::string StoreOutcome::detail(const std::string& reasonText) const
{
    std::string text = path;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i == 0 ? ":" : ", ") + std::to_string(lines[i]);
    if (lineCount > static_cast<int>(lines.size()))
        text += " … (" + std::to_string(lineCount) + ")";
    if (!reason.empty())
        text += " (" + reason + ")";
    if (!reasonText.empty())
        text += " (" + reasonText + ")";
    return text;
}

void StoreProblems::add(StoreOutcome problem)
{
    if (!problem)
        problems_.push_back(std::move(problem));
}

void StoreProblems::append(const StoreProblems& other)
{
    for (const StoreOutcome& problem : other.all())
        add(problem);
}

} // namespace quillory
