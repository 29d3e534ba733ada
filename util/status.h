// Failures are values: an operation returns a Status, or a Result holding its
// value or the failure, and callers hand it up until a program's entry prints
// its line. Nothing below an entry ends the process, so everything unwinds and
// every failure can be observed in-process. Grep for ` Status(` to list every
// place a failure is made.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "util/failure.h"

namespace tintrod {

class [[nodiscard]] Status {
 public:
  // Success.
  Status() = default;
  // `path` as typed, for the lines that name a file.
  explicit Status(Failure failure, std::string_view path = {}) : failure_(failure), path_(path) {}

  bool ok() const { return !failure_.has_value(); }
  // Only for a status that is not ok().
  Failure failure() const { return *failure_; }
  const std::string& path() const { return path_; }
  // The fixed line, newline included; empty for success.
  std::string line() const { return ok() ? std::string() : failureLine(*failure_, path_); }

 private:
  std::optional<Failure> failure_;
  std::string path_;
};

// A value, or the failure that stopped it being made.
template <typename T>
class [[nodiscard]] Result {
 public:
  // Implicit, so that an operation returns its value or a Status alike.
  Result(T value) : value_(std::move(value)) {}
  // `status` is a failure: a result without a value is never ok.
  Result(Status status) : status_(std::move(status)) {}

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }

  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  Status status_;
  std::optional<T> value_;
};

}  // namespace tintrod
