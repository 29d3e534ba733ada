#include "tool/output_file.h"

#include "os/os.h"
#include "template/format.h"
#include "template/patch_writer.h"
#include "util/failure.h"

namespace tintrod {
namespace {

// The new file lives in this scope only: fail() ends the process without
// unwinding, so it is given up here first.
bool writeCopy(const TextureTable& table, const InputFile& templateFile) {
  os::NewFile output;
  return output.create(kOutputFileName, os::copyPermissions(templateFile.handle())) &&
         output.copyFrom(templateFile.handle(), templateFile.size()) &&
         patchTextures(output, table) && output.publish();
}

}  // namespace

void writeSkinnedCopy(const TextureTable& table, const InputFile& templateFile) {
  if (!writeCopy(table, templateFile)) fail(Failure::kOutputOpen);
}

}  // namespace tintrod
