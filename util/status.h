// Failures are values: an operation returns a Status, or a Result holding its
// value or the failure, and callers hand it up until a program's entry prints
// its line. Nothing below an entry ends the process, so everything unwinds and
// every failure can be observed in-process. Grep for ` Status(` to list every
// place a failure is made.
//
// The seam to the operating system (os/os.h) returns a SystemStatus instead:
// what the system said, with no line yet. It does not convert to a Status, so
// the compiler sends every refusal through a program's table
// (util/failure_tables.h), which alone gives it a line.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "util/failure.h"

namespace tintrod {

// What the system (or the seam on its behalf) refused with, portably: the
// programs' tables choose their lines by it.
enum class SystemErrorKind {
  kMissing,         // nothing under the name, or a folder on its way is missing
  kNotPermitted,    // the user may not read or write it
  kFolder,          // a folder where a file was wanted
  kNotRegularFile,  // a device, a FIFO or a pipe where a file was wanted
  kNoSpace,         // the disk, a quota or the file size limit is full
  kTooLarge,        // past the caller's cap, or more than memory holds
  kOther,
};

struct SystemError {
  SystemErrorKind kind = SystemErrorKind::kOther;
  // errno after POSIX and C runtime calls, GetLastError after Windows' own,
  // for diagnosis; 0 when the seam refused on its own (a folder where the
  // output goes, or a buffer too large to allocate).
  int code = 0;
};

class [[nodiscard]] SystemStatus {
 public:
  // Success.
  SystemStatus() = default;
  explicit SystemStatus(SystemErrorKind kind, int code) : error_(SystemError{kind, code}) {}

  bool ok() const { return !error_.has_value(); }
  // Only for a status that is not ok().
  const SystemError& error() const { return *error_; }

 private:
  std::optional<SystemError> error_;
};

class [[nodiscard]] Status {
 public:
  // Success.
  Status() = default;
  // `path` as typed, for the lines that name a file; `cause`, what the
  // system said, when it refused.
  explicit Status(Failure failure, std::string_view path = {},
                  std::optional<SystemError> cause = std::nullopt)
      : failure_(failure), path_(path), cause_(cause) {}

  bool ok() const { return !failure_.has_value(); }
  // Only for a status that is not ok().
  Failure failure() const { return *failure_; }
  const std::string& path() const { return path_; }
  const std::optional<SystemError>& cause() const { return cause_; }
  // The fixed line, newline included; empty for success.
  std::string line() const { return ok() ? std::string() : failureLine(*failure_, path_); }

 private:
  std::optional<Failure> failure_;
  std::string path_;
  std::optional<SystemError> cause_;
};

// A Result is made from a failure only. As with absl's StatusOr, handing it
// an ok status is a programming error, caught where it happens: debug builds
// (the ones every test runs) stop there with a message on standard error;
// release builds hold kInternal instead, so that no code path can turn a
// Result without a value into a success further up.
[[noreturn]] inline void stopOnOkResultStatus() {
  std::fputs("a Result was made from a success instead of a failure\n", stderr);
  std::abort();
}

// A value, or the failure that stopped it being made; `S` is Status, or
// SystemStatus for the seam's own results.
template <typename T, typename S = Status>
class [[nodiscard]] Result {
 public:
  // Implicit, so that an operation returns its value or a failure alike.
  Result(T value) : value_(std::move(value)) {}
  Result(S status) : status_(std::move(status)) {
    if (status_.ok()) status_ = okStatusGiven();
  }

  bool ok() const { return value_.has_value(); }
  // Success when ok(), otherwise a failure.
  const S& status() const { return status_; }

  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  static S okStatusGiven() {
#ifndef NDEBUG
    stopOnOkResultStatus();
#else
    if constexpr (std::is_same_v<S, Status>) {
      return Status(Failure::kInternal);
    } else {
      return SystemStatus(SystemErrorKind::kOther, 0);
    }
#endif
  }

  S status_;
  std::optional<T> value_;
};

template <typename T>
using SystemResult = Result<T, SystemStatus>;

}  // namespace tintrod
