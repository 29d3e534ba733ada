#include "template/open_template.h"

#include "template/format.h"

namespace tintrod {

Result<InputFile> openTemplate() {
  InputFile stream;
  if (!stream.open(kTemplateFileName)) return Status(Failure::kTemplateMissing);
  if (!readSupportedHeader(stream)) return Status(Failure::kTemplateCorrupt);
  return stream;
}

}  // namespace tintrod
