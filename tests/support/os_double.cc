#include "tests/support/os_double.h"

#include <utility>

namespace tintrod {
namespace {

testing::StepHook stepHook = nullptr;
bool namedTemporariesPreferred = false;

}  // namespace

void os::reachedStep(Step step) {
  if (stepHook != nullptr) stepHook(step);
}

bool os::namedTemporaryRequired() { return namedTemporariesPreferred; }

testing::StepHook testing::setStepHook(StepHook hook) { return std::exchange(stepHook, hook); }

void testing::preferNamedTemporaries(bool prefer) { namedTemporariesPreferred = prefer; }

}  // namespace tintrod
