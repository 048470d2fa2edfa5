#pragma once

namespace quillory {

// The calling thread yields to every other thread of the program and of the desktop (the
// lowest scheduling priority of a normal thread). Work that can wait runs like this.
void lowerThisThreadPriority();

} // namespace quillory
