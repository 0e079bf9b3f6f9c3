#include "platform/thread_priority.hpp"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zb {

void LowerThreadPriority() {
    // On Linux a nice value belongs to the thread that sets it, named by its thread id.
    (void)setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 19);
}

}  // namespace zb
