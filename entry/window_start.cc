#include "entry/window_start.h"

#include <algorithm>
#include <cstdio>

namespace tintrod {

WindowStart windowStart(std::span<const std::string> arguments, bool ownWindow, bool takesDrops,
                        bool (*isFile)(const std::string& path)) {
  if (!ownWindow) return WindowStart::kAsTyped;
  if (arguments.empty()) return WindowStart::kIntroduce;
  const bool dropped = std::all_of(arguments.begin(), arguments.end(), [isFile](const auto& a) {
    return !a.starts_with('-') && isFile(a);
  });
  return takesDrops && dropped ? WindowStart::kDropped : WindowStart::kAsTyped;
}

void waitForEnter() {
  std::fputs("\nPress Enter to close this window.\n", stdout);
  std::fflush(stdout);
  int c = 0;
  do {
    c = std::getchar();
  } while (c != '\n' && c != EOF);
}

}  // namespace tintrod
