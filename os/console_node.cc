// The console of the WebAssembly builds. Emscripten's own isatty calls every
// standard stream a terminal, a pipe or a file included; Node knows what the
// descriptor really is. The page's worker has no terminal at all.
#include <emscripten.h>

#include "os/os.h"

namespace {

// clang-format off
EM_JS(int, nodeStandardOutputIsTerminal, (), {
  if (typeof process === 'undefined' || typeof require === 'undefined') return 0;
  return require('tty').isatty(1) ? 1 : 0;
});
// clang-format on

}  // namespace

namespace tintrod::os {

bool standardOutputIsTerminal() { return nodeStandardOutputIsTerminal() != 0; }

}  // namespace tintrod::os
