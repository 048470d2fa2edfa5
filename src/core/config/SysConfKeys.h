#pragma once

#include <string>
#include <vector>

namespace quillory {

enum class SysConfValueType { Text, Boolean, Integer };

struct SysConfKey {
    std::string name;
    SysConfValueType type;
};

// Every key of SysConf.properties, in the order the file is written: menu captions, settings,
// window captions, messages.
const std::vector<SysConfKey>& sysConfKeys();

} // namespace quillory
