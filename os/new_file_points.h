// The points of a NewFile's life that only tests act on. The programs link
// the quiet definitions in new_file_points.cc; a test executable links its
// own (tests/support/) instead, so no program carries a way to reach them.
#pragma once

namespace tintrod::os {

// The points between a NewFile's steps where a test may act on the folder
// (swap the template, plant a link) while the run waits for it.
enum class Step {
  kCreated,     // the file exists, unnamed or under its temporary name; nothing copied
  kCopied,      // copyFrom has succeeded
  kPublishing,  // publish() has started; nothing is flushed or named yet
};

// Called as a NewFile reaches `step`.
void reachedStep(Step step);

// The steps of replaceFilesTogether that a test may make fail, as a full
// disk or a file held open would: writing one file's temporary, and
// replacing one target once its old file is kept aside.
enum class SetStep { kWriting, kReplacing };

// False when `step` must fail this time.
bool setStepSucceeds(SetStep step);

// True when a NewFile must take the named temporary even where the file
// system has unnamed files; a test's way to that path on any machine.
bool namedTemporaryRequired();

}  // namespace tintrod::os
