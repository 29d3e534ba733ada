#include "prepare/prepare_into.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "os/os.h"
#include "prepare/picture_file.h"
#include "template/part_names.h"
#include "util/failure_tables.h"
#include "util/input_file.h"
#include "util/printable_name.h"

namespace tintrod {
namespace {

std::string inFolder(const std::string& folder, std::string_view file) {
  if (folder.empty()) return std::string(file);
  const bool separated = folder.back() == '/' || folder.back() == '\\';
  return folder + (separated ? "" : "/") + std::string(file);
}

// Words a POSIX shell reads as they stand; '=' only after the first letter,
// since zsh expands a word that starts with it.
bool plainForPosix(std::string_view word) {
  return !word.empty() && word.front() != '=' && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("/._-:,+=@%").find(c) != std::string_view::npos;
  });
}

// cmd and PowerShell split words alike only on these; ',' makes an array in
// PowerShell and '\\' is a folder separator there.
bool plainForWindows(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("/\\._-:").find(c) != std::string_view::npos;
  });
}

// Inside double quotes cmd still expands %VAR% (and !VAR! when delayed
// expansion is on) and PowerShell expands $ and takes ` as its escape; '"'
// ends the quotes in both, PowerShell takes the curly double quotes for
// '"' too, and a control character would break the line. Neither shell has
// one escape that the other reads, so a word holding any of them cannot be
// written for both. A trailing backslash would escape the closing quote
// for the program reading its arguments.
bool quotableForWindows(std::string_view word) {
  constexpr std::string_view kCurlyDoubleQuotes[] = {"\u201c", "\u201d", "\u201e"};
  for (const std::string_view curly : kCurlyDoubleQuotes) {
    if (word.find(curly) != std::string_view::npos) return false;
  }
  return (word.empty() || word.back() != '\\') &&
         std::none_of(word.begin(), word.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 || c == 0x7f ||
                  std::string_view("\"%!$`").find(c) != std::string_view::npos;
         });
}

std::string argumentFile(const SkinSlot& slot) { return std::string(slot.argumentName) + ".bmp"; }

bool isReadableFile(const std::string& path) {
  InputFile file;
  return file.open(path).ok();
}

// A word that still holds a wildcard names no file: the shell (or on
// Windows the seam) found nothing for it and left it as typed.
bool isUnmatchedWildcard(std::string_view picture) {
  const std::size_t folderEnd = picture.find_last_of("/\\");
  const std::string_view name =
      folderEnd == std::string_view::npos ? picture : picture.substr(folderEnd + 1);
  return name.find_first_of("*?") != std::string_view::npos;
}

// What the user meant by a word that is no picture, said before its name is
// taken for a slot's.
Status checkPictureWords(std::span<const std::string> pictures) {
  for (const std::string& picture : pictures) {
    const os::EntryKind kind = os::entryKind(picture);
    if (kind == os::EntryKind::kFolder) return Status(Failure::kPicturesInFolder, picture);
    if (kind == os::EntryKind::kNothing && isUnmatchedWildcard(picture)) {
      return Status(Failure::kNoPictureMatches, picture);
    }
  }
  return {};
}

const SlotPicture* pictureFor(const SkinSlot& slot, std::span<const SlotPicture> given) {
  const auto found = std::find_if(given.begin(), given.end(),
                                  [&slot](const SlotPicture& p) { return p.slot == &slot; });
  return found == given.end() ? nullptr : &*found;
}

// The bitmap the slot takes from `folder`: the one written now, or the first
// of an earlier one and tintrod-extract's that `exists`.
std::optional<std::string> textureFor(const std::string& folder, const SkinSlot& slot, bool isGiven,
                                      bool (*exists)(const std::string& path)) {
  for (const std::string& candidate : {inFolder(folder, argumentFile(slot)),
                                       inFolder(folder, std::string(slot.textureName) + ".bmp")}) {
    if (isGiven || exists(candidate)) return candidate;
  }
  return std::nullopt;
}

// The folder as tintrod-extract's argument. A trailing backslash would
// escape the closing quote on Windows, and the folder is the same without
// one (but "C:" alone would be the drive's current folder).
std::string folderArgument(const std::string& folder) {
  std::string trimmed = folder.empty() ? "." : folder;
  while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\') &&
         trimmed[trimmed.size() - 2] != ':') {
    trimmed.pop_back();
  }
  return trimmed;
}

}  // namespace

std::optional<std::string> shellWord(std::string_view word, os::ShellQuoting quoting) {
  if (quoting == os::ShellQuoting::kCmdAndPowerShell) {
    if (plainForWindows(word)) return std::string(word);
    if (!quotableForWindows(word)) return std::nullopt;
    return "\"" + std::string(word) + "\"";
  }
  if (plainForPosix(word)) return std::string(word);
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

Result<std::vector<SlotPicture>> matchPicturesToSlots(std::span<const std::string> pictures) {
  std::vector<SlotPicture> matched;
  for (const std::string& picture : pictures) {
    const NamedParts named = partsNamedBy(picture);
    if (named.second != nullptr) {
      return Status(
          Failure::kPictureNamesTwoParts,
          picture + " names both " + named.first->partName + " and " + named.second->partName);
    }
    const SkinSlot* slot = named.part();
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

std::vector<std::string> intoSummary(const std::string& folder, std::span<const SlotPicture> given,
                                     bool (*exists)(const std::string& path),
                                     os::ShellQuoting quoting) {
  // The folder's name was found quotable before anything was written, so
  // every word below reads back as it stands.
  const auto word = [quoting](const std::string& w) { return shellWord(w, quoting).value_or(w); };
  const std::string shownFolder = folder.empty() ? "." : folder;
  std::vector<std::string> lines;
  std::string command = "tintrod";
  bool complete = true;
  for (const SkinSlot& slot : kSkinSlots) {
    const SlotPicture* picture = pictureFor(slot, given);
    const std::optional<std::string> texture = textureFor(folder, slot, picture != nullptr, exists);
    std::string line = std::string(slot.partName) + ": ";
    if (picture != nullptr) {
      line += picture->picture;
    } else if (texture) {
      line += "keeps " + *texture;
    } else {
      line += "no texture in ";
      line += shownFolder;
      complete = false;
    }
    lines.push_back(line + "\n");
    if (texture) command += " " + word(*texture);
  }
  // A command with a word that names no file would only fail once pasted.
  if (complete) {
    lines.push_back(command + "\n");
  } else {
    lines.emplace_back("run this, then tintrod-prepare again for the tintrod command:\n");
    lines.push_back("tintrod-extract cueTemplate.obp " + word(folderArgument(folder)) + "\n");
  }
  return lines;
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
  if (Status checked = checkPictureWords(run.pictures); !checked.ok()) return checked;
  const Result<std::vector<SlotPicture>> matched = matchPicturesToSlots(run.pictures);
  if (!matched.ok()) return matched.status();
  const std::string& folder = *run.into;
  if (!shellWord(inFolder(folder, "x.bmp"), os::shellQuoting()).has_value()) {
    return Status(Failure::kFolderUnquotable, folder);
  }
  std::vector<std::string> outputs;
  for (const SlotPicture& each : *matched) {
    outputs.push_back(inFolder(folder, argumentFile(*each.slot)));
    Status checked =
        checkOutput(outputs.back(), run.pictures, {each.slot->width, each.slot->height});
    if (!checked.ok()) return checked;
  }
  const Result<std::vector<std::vector<std::uint8_t>>> bitmaps = prepareAll(*matched, run.options);
  if (!bitmaps.ok()) return bitmaps.status();
  if (!folder.empty()) {
    SystemStatus made = os::makeFolders(folder);
    if (!made.ok()) return failureFor(kPrepareFailures, Operation::kMakeFolder, made, folder);
  }
  std::vector<os::FileContent> files;
  for (std::size_t i = 0; i < outputs.size(); ++i) files.push_back({outputs[i], (*bitmaps)[i]});
  std::size_t failed = 0;
  if (SystemStatus replaced = os::replaceFilesTogether(files, failed); !replaced.ok()) {
    return failureFor(kPrepareFailures, Operation::kWriteFile, replaced, outputs[failed]);
  }
  // Each line shown on its own: a name may hold a newline of its own.
  for (const std::string& line :
       intoSummary(folder, *matched, isReadableFile, os::shellQuoting())) {
    std::fputs(shownLine(line).c_str(), stdout);
  }
  return {};
}

}  // namespace tintrod
