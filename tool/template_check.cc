#include "tool/template_check.h"

#include "template/format.h"

namespace tintrod {

Result<InputFile> openTemplate() {
  InputFile stream;
  if (!stream.open(kTemplateFileName)) return Status(Failure::kTemplateMissing);
  if (!readSupportedHeader(stream)) return Status(Failure::kTemplateCorrupt);
  return stream;
}

}  // namespace tintrod
