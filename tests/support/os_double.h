// What tests do at the seam's test points (os/new_file_points.h). Linked only
// into test executables, ahead of the seam, in place of the programs' quiet
// definitions.
#pragma once

#include "os/new_file_points.h"

namespace tintrod::testing {

using StepHook = void (*)(os::Step step);
// Installs `hook` (null: none) for the whole process; returns the earlier one.
StepHook setStepHook(StepHook hook);

// Makes every later NewFile take the named temporary even where the file
// system has unnamed files, so tests reach that path on any machine.
void preferNamedTemporaries(bool prefer);

// Makes the `time`-th `step` from now fail (counting from 1), every other
// one succeed; 0: none fails.
void failSetStep(os::SetStep step, int time);

}  // namespace tintrod::testing
