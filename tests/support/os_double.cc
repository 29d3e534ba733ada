#include "tests/support/os_double.h"

#include <utility>

namespace tintrod {
namespace {

testing::StepHook stepHook = nullptr;
bool namedTemporariesPreferred = false;
os::SetStep failingStep = os::SetStep::kWriting;
int stepsBeforeFailure = 0;  // 0: none fails

}  // namespace

void os::reachedStep(Step step) {
  if (stepHook != nullptr) stepHook(step);
}

bool os::namedTemporaryRequired() { return namedTemporariesPreferred; }

bool os::setStepSucceeds(SetStep step) {
  if (step != failingStep || stepsBeforeFailure == 0) return true;
  return --stepsBeforeFailure != 0;
}

testing::StepHook testing::setStepHook(StepHook hook) { return std::exchange(stepHook, hook); }

void testing::preferNamedTemporaries(bool prefer) { namedTemporariesPreferred = prefer; }

void testing::failSetStep(os::SetStep step, int time) {
  failingStep = step;
  stepsBeforeFailure = time;
}

}  // namespace tintrod
