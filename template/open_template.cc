#include "template/open_template.h"

#include "template/format.h"
#include "util/failure_tables.h"

namespace tintrod {

Result<InputFile> openTemplate() {
  InputFile stream;
  if (SystemStatus opened = stream.open(kTemplateFileName); !opened.ok()) {
    return failureFor(kSkinFailures, Operation::kReadTemplate, opened);
  }
  if (!readSupportedHeader(stream)) return Status(Failure::kTemplateCorrupt);
  return stream;
}

}  // namespace tintrod
