#include "ui/platform/NullGlobalHotKey.h"

namespace quillory {

std::unique_ptr<GlobalHotKey> makeGlobalHotKey()
{
    return std::make_unique<NullGlobalHotKey>();
}

} // namespace quillory
