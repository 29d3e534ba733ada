// A program started from Explorer (double-clicked, or files dropped onto it)
// writes to a console window of its own that closes the moment it ends,
// before anyone has read a word. What such a start means, decided apart from
// the system so that it can be checked anywhere.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace tintrod {

enum class WindowStart {
  kAsTyped,    // a terminal's, or arguments a person chose
  kIntroduce,  // nothing to do: say what the program is for, and where to go
  kDropped,    // files dropped onto the program
};

// `ownWindow`: os::ownsConsoleWindow(). Files arrive dropped as arguments that
// are all existing files (`isFile`), none an option; only a program that
// `takesDrops` treats them so.
WindowStart windowStart(std::span<const std::string> arguments, bool ownWindow, bool takesDrops,
                        bool (*isFile)(const std::string& path));

// Holds the window open until Enter is pressed or input ends.
void waitForEnter();

}  // namespace tintrod
