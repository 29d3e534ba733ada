#include "template/open_template.h"

#include "template/format.h"
#include "util/failure.h"

namespace tintrod {

InputFile openTemplate() {
  InputFile stream;
  if (!stream.open(kTemplateFileName)) fail(Failure::kTemplateMissing);
  if (!readSupportedHeader(stream)) fail(Failure::kTemplateCorrupt);
  return stream;
}

}  // namespace tintrod
