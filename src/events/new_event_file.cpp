#include "events/new_event_file.h"

#include <system_error>

#include "events/event_file.h"
#include "events/slot_files.h"

namespace qev {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool HasControl(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

NewEventFile PlanNewEventFile(const std::filesystem::path& folder, std::string_view name,
                              std::string_view title, const Sjis& clockText) {
  NewEventFile file;
  std::string stem(Trimmed(name));
  if (stem.ends_with(".txt")) stem.resize(stem.size() - 4);
  if (stem.empty()) {
    file.problem = "ファイル名を入力してください。";
    return file;
  }
  if (stem.find_first_of("/\\") != std::string::npos || stem.front() == '.' || HasControl(stem)) {
    file.problem = "ファイル名「" + stem +
                   "」は使えません。「/」や「\\」を含まず、「.」で始まらない名前にしてください。";
    return file;
  }
  const std::filesystem::path path = folder / std::filesystem::u8path(stem + ".txt");
  if (FileResult check = CheckPickedName(path); !check.ok()) {
    file.problem =
        check.status == FileStatus::kUnencodableName
            ? "ファイル名の文字「" + check.reason + "」は Shift-JIS で書けません。"
            : "ファイル名が長すぎます(" + std::to_string(kBaseNameLimit) + "バイトまで)。";
    return file;
  }
  const std::string titleText = Trimmed(title).empty() ? stem : std::string(Trimmed(title));
  const Cp932Encoding encodedTitle = EncodeCp932(titleText);
  if (!encodedTitle.ok()) {
    file.problem = "タイトルの文字「" + encodedTitle.unencodable + "」は Shift-JIS で書けません。";
    return file;
  }
  if (encodedTitle.bytes.find(';') != std::string::npos || HasControl(titleText)) {
    file.problem = "タイトルに「;」や改行は使えません。";
    return file;
  }
  if (encodedTitle.bytes.size() > kTitleLimit) {
    file.problem = "タイトルが長すぎます(" + std::to_string(kTitleLimit) + "バイトまで)。";
    return file;
  }
  std::error_code ec;
  if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found) {
    file.problem = "「" + stem + ".txt」はもうあります。別の名前にしてください。";
    return file;
  }
  file.path = path;
  file.baseName = EncodeCp932(stem).bytes;
  file.title = encodedTitle.bytes;
  file.text = ComposeFile(file.title, clockText, {}).text;
  return file;
}

}  // namespace qev
