#pragma once

#include <string>

namespace quillory {

// Gives every window of the program, and those made later, the program's icon (from
// <baseFolder>/resource/images/app), in the sizes a desktop asks for.
void setProgramIcon(const std::string& baseFolder);

} // namespace quillory
