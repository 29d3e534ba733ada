#include "tool/output_file.h"

#include "os/os.h"
#include "template/format.h"
#include "template/patch_writer.h"
#include "util/failure_tables.h"

namespace tintrod {

Status writeSkinnedCopy(const TextureTable& table, const InputFile& templateFile) {
  os::NewFile output;
  SystemStatus written = output.create(kOutputFileName, os::copyPermissions(templateFile.handle()));
  if (written.ok()) written = output.copyFrom(templateFile.handle(), templateFile.size());
  if (written.ok()) written = patchTextures(output, table);
  if (written.ok()) written = output.publish();
  if (!written.ok()) return failureFor(kSkinFailures, Operation::kWriteOutput, written);
  return {};
}

}  // namespace tintrod
