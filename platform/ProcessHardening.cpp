// forbidCoreDumps over prctl(2).
#include "platform/ProcessHardening.h"

#include <sys/prctl.h>

namespace platform {

bool forbidCoreDumps() {
    return ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
}

} // namespace platform
