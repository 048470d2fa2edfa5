#include "core/monitor/PendingChange.h"

#include "core/store/RecordFormat.h"

namespace quillory {

std::string formatPendingChange(const PendingChange& change)
{
    return escapeField(change.indexId) + '|' + escapeField(change.oldPath) + '|' + escapeField(change.newPath);
}

bool parsePendingChange(std::string_view line, PendingChange& change)
{
    change = {};
    const size_t first = line.find('|');
    change.indexId = unescapeField(line.substr(0, first));
    if (first == std::string_view::npos)
        return false;
    const size_t second = line.find('|', first + 1);
    change.oldPath = unescapeField(
        line.substr(first + 1, second == std::string_view::npos ? line.npos : second - first - 1));
    if (second == std::string_view::npos)
        return false;
    change.newPath = unescapeField(line.substr(line.rfind('|') + 1));
    return true;
}

} // namespace quillory
