#include "core/references/DocumentPresence.h"

#include "core/catalog_window/IndexRows.h"
#include "core/monitor/DiskProbe.h"

namespace quillory {

std::string placeOnDisk(std::string_view path, std::string_view root)
{
    if (path.find_first_not_of(' ') == std::string_view::npos || isWebAddress(path))
        return {};
    return openablePath(path, root);
}

Presence presenceOf(const DiskProbe& disk, const std::string& place)
{
    if (place.empty())
        return Presence::Present;
    // On a drive that is away, a missing document is not lost: the drive only has to come back.
    if (!disk.isVolumeMounted(place))
        return Presence::Offline;
    return disk.exists(place) ? Presence::Present : Presence::Missing;
}

} // namespace quillory
