#include "ui/platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quillory {

void lowerThisThreadPriority()
{
    // On Linux the nice value is a thread's own: the thread id names this thread only. A refusal
    // leaves it as it was, which is only slower for the others.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 19);
}

} // namespace quillory
