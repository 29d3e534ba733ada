// The console of a POSIX system.
#include <unistd.h>

#include "os/os.h"

namespace tintrod::os {

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace tintrod::os
