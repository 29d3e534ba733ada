#include "prepare/prepare_into.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "os/os.h"
#include "prepare/picture_file.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

// Windows users type either separator, and a picture named after its slot
// may carry any extension.
std::string_view fileStem(std::string_view path) {
  const std::size_t folderEnd = path.find_last_of("/\\");
  if (folderEnd != std::string_view::npos) path.remove_prefix(folderEnd + 1);
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
  return path;
}

std::string inFolder(const std::string& folder, std::string_view file) {
  if (folder.empty()) return std::string(file);
  const bool separated = folder.back() == '/' || folder.back() == '\\';
  return folder + (separated ? "" : "/") + std::string(file);
}

// Double quotes keep a path with spaces whole in both cmd and a POSIX shell.
std::string shellWord(const std::string& word) {
  const bool plain = std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("/\\._-:").find(c) != std::string_view::npos;
  });
  return plain && !word.empty() ? word : "\"" + word + "\"";
}

std::string argumentFile(const SkinSlot& slot) { return std::string(slot.argumentName) + ".bmp"; }

bool isReadableFile(const std::string& path) {
  InputFile file;
  return file.open(path);
}

}  // namespace

Result<std::vector<SlotPicture>> matchPicturesToSlots(std::span<const std::string> pictures) {
  std::vector<SlotPicture> matched;
  for (const std::string& picture : pictures) {
    const SkinSlot* slot = skinSlotNamed(fileStem(picture));
    if (slot == nullptr) return Status(Failure::kPictureNamesNoSlot, picture);
    for (const SlotPicture& earlier : matched) {
      if (earlier.slot == slot) {
        return Status(Failure::kPicturesShareSlot, earlier.picture + " and " + picture);
      }
    }
    matched.push_back({picture, slot});
  }
  return matched;
}

std::string skinCommand(const std::string& folder, std::span<const SlotPicture> given,
                        bool (*exists)(const std::string& path)) {
  std::string command = "tintrod";
  for (const SkinSlot& slot : kSkinSlots) {
    const bool isGiven = std::any_of(given.begin(), given.end(),
                                     [&slot](const SlotPicture& p) { return p.slot == &slot; });
    std::string argument = slot.argumentName;
    for (const std::string& candidate :
         {inFolder(folder, argumentFile(slot)),
          inFolder(folder, std::string(slot.textureName) + ".bmp")}) {
      if (isGiven || exists(candidate)) {
        argument = candidate;
        break;
      }
    }
    command += " " + shellWord(argument);
  }
  return command + "\n";
}

// Every picture is prepared before the first is written, so that one that
// cannot be used leaves the folder as it was.
Result<std::vector<std::vector<std::uint8_t>>> prepareAll(std::span<const SlotPicture> matched,
                                                          const PrepareOptions& options) {
  std::vector<std::vector<std::uint8_t>> bitmaps;
  for (const SlotPicture& each : matched) {
    const Result<os::LargeBuffer> picture = readPicture(each.picture);
    if (!picture.ok()) return picture.status();
    PreparedPicture prepared =
        preparePicture(*picture, each.slot->width, each.slot->height, options);
    if (!prepared.ok()) return Status(prepared.status().failure(), each.picture);
    bitmaps.push_back(std::move(*prepared));
  }
  return bitmaps;
}

Status prepareInto(const PrepareArguments& run) {
  const Result<std::vector<SlotPicture>> matched = matchPicturesToSlots(run.pictures);
  if (!matched.ok()) return matched.status();
  const std::string& folder = *run.into;
  std::vector<std::string> outputs;
  for (const SlotPicture& each : *matched) {
    outputs.push_back(inFolder(folder, argumentFile(*each.slot)));
    Status checked = checkOutput(outputs.back(), run.pictures);
    if (!checked.ok()) return checked;
  }
  const Result<std::vector<std::vector<std::uint8_t>>> bitmaps = prepareAll(*matched, run.options);
  if (!bitmaps.ok()) return bitmaps.status();
  if (!folder.empty() && !os::makeFolders(folder)) return Status(Failure::kFolderCreate, folder);
  std::vector<os::FileContent> files;
  for (std::size_t i = 0; i < outputs.size(); ++i) files.push_back({outputs[i], (*bitmaps)[i]});
  if (const std::optional<std::size_t> failed = os::replaceFilesTogether(files)) {
    return Status(Failure::kFileWrite, outputs[*failed]);
  }
  std::fputs(skinCommand(folder, *matched, isReadableFile).c_str(), stdout);
  return {};
}

}  // namespace tintrod
