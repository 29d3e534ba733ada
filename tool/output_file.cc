#include "tool/output_file.h"

#include "os/os.h"
#include "template/format.h"
#include "template/patch_writer.h"

namespace tintrod {

Status writeSkinnedCopy(const TextureTable& table, const InputFile& templateFile) {
  os::NewFile output;
  if (!output.create(kOutputFileName, os::copyPermissions(templateFile.handle())) ||
      !output.copyFrom(templateFile.handle(), templateFile.size()) ||
      !patchTextures(output, table) || !output.publish()) {
    return Status(Failure::kOutputOpen);
  }
  return {};
}

}  // namespace tintrod
