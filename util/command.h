// What tintrod-extract's and tintrod-prepare's command lines ask for: a run,
// with its options, or a text to print instead (the help or the version).
// Their parsers return it in a Result, whose failure is the program's usage
// line, so that both mains and the tests take a command line the same way.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tintrod {

template <typename Run>
class Command {
 public:
  // Implicit, as Result's are: a parser returns its run or a text alike.
  Command(Run run) : asked_(std::move(run)) {}
  static Command printing(std::string text) { return Command(std::move(text)); }

  bool runs() const { return std::holds_alternative<Run>(asked_); }
  // Only when runs().
  const Run& run() const { return std::get<Run>(asked_); }
  // Only when not runs(): the help or version text, ending in a newline.
  const std::string& text() const { return std::get<std::string>(asked_); }

 private:
  explicit Command(std::string text) : asked_(std::move(text)) {}

  std::variant<std::string, Run> asked_;
};

}  // namespace tintrod
