#include "tool/template_check.h"

#include "template/format.h"
#include "util/failure.h"

namespace tintrod {

InputFile openTemplate() {
  InputFile stream;
  if (!stream.open(kTemplateFileName)) fail(Failure::kTemplateMissing);
  TemplateHeader header;
  if (!stream.read(header.bytes.data(), header.bytes.size()) ||
      !isSupportedVersion(versionWord(header))) {
    fail(Failure::kTemplateCorrupt);
  }
  return stream;
}

}  // namespace tintrod
