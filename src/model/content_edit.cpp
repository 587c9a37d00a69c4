#include "model/content_edit.h"

#include <string>

#include <array>

#include "events/event_line.h"
#include "events/event_store.h"
#include "text/byte_fields.h"

namespace qev {

namespace {

constexpr char kApproximateMark = '*';

const std::array<const Sjis*, 3>& EditLabels() {
  static const std::array<const Sjis*, 3> labels{&"できごと="_sj, &"  メモ1  ="_sj,
                                                 &"  メモ2  ="_sj};
  return labels;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The bytes of `text` with every ";" made full-width.
void AppendFieldText(Sjis& out, std::string_view text) {
  for (char c : text) {
    if (c == ';') {
      out += "；"_sj;
    } else {
      out += c;
    }
  }
}

}  // namespace

bool ContentEditState::Cancel() {
  if (!editing()) return false;
  contentEditMode = false;
  editClickCount = 0;
  return true;
}

int StepLevel(int level, int step) {
  const int next = level + step;
  if (next > 5) return 1;
  if (next < 1) return 5;
  return next;
}

std::optional<EventLineLocation> LocateEventLine(std::string_view key) {
  const std::size_t first = FindNth(key, ';', 1, kKeyScanLimit);
  const std::size_t second = FindNth(key, ';', 2, kKeyScanLimit);
  const std::size_t third = FindNth(key, ';', 3, kKeyScanLimit);
  if (third == kNoPos) return std::nullopt;
  const int slot = LeadingInt(key.substr(first + 1, second - first - 1));
  const int line = LeadingInt(key.substr(second + 1, third - second - 1));
  if (slot < 0 || slot >= EventStore::kSlotCount) return std::nullopt;
  return EventLineLocation{slot, static_cast<std::size_t>(line)};
}

Sjis EditPanelText(std::string_view line) {
  const EventFields event = ParseEvent(line);
  const std::array<std::string_view, 3> values{event.event, event.memo1, event.memo2};
  Sjis text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    text += *EditLabels()[i];
    text += values[i];
    text += "\r\n";
  }
  return text;
}

EditedLine RewriteEventLine(std::string_view line, const std::vector<Sjis>& panelLines) {
  const auto refuse = [](EditProblem problem, int panelLine) {
    return EditedLine{{}, problem, panelLine};
  };
  const std::size_t third = FindNth(line, ';', 3);
  if (third == kNoPos) return refuse(EditProblem::kMalformedEvent, 0);
  const bool approximate = ParseEvent(line).firstApproximate;
  EditedLine out;
  out.line.assign(line.substr(0, third + 1));
  for (int i = 0; i < 3; ++i) {
    const std::size_t index = static_cast<std::size_t>(i);
    const std::string_view panelLine =
        index < panelLines.size() ? std::string_view(panelLines[index]) : std::string_view();
    if (panelLine.size() > kEditLineLimit) return refuse(EditProblem::kLineTooLong, i);
    const std::size_t eq = panelLine.find('=');
    if (eq == std::string_view::npos) return refuse(EditProblem::kLabelMissing, i);
    // The mark belongs to the date and is never shown, so the edit keeps it.
    if (i == 0 && approximate) out.line += kApproximateMark;
    AppendFieldText(out.line, panelLine.substr(eq + 1));
    out.line += ';';
  }
  for (std::size_t i = 3; i < panelLines.size(); ++i) {
    if (!panelLines[i].empty()) return refuse(EditProblem::kTextAfterMemo2, static_cast<int>(i));
  }
  return out;
}

std::optional<Sjis> WriteLevelDigits(std::string_view line, int importance, int memorisation) {
  if (!IsDigit(ByteAt(line, kImportancePos)) || !IsDigit(ByteAt(line, kMemorisationPos)) ||
      importance < 0 || importance > 9 || memorisation < 0 || memorisation > 9) {
    return std::nullopt;
  }
  Sjis out(line);
  out[kImportancePos] = static_cast<char>('0' + importance);
  out[kMemorisationPos] = static_cast<char>('0' + memorisation);
  return out;
}

std::string EditProblemMessage(const EditedLine& edited) {
  static constexpr const char* kLabels[] = {"できごと", "メモ1", "メモ2"};
  const std::string label =
      kLabels[edited.panelLine >= 0 && edited.panelLine < 3 ? edited.panelLine : 0];
  switch (edited.problem) {
    case EditProblem::kLineTooLong:
      return "「" + label + "」の行が長すぎます(" + std::to_string(kEditLineLimit) +
             "バイトまで)。短くしてから、もう一度[実行]を押してください。";
    case EditProblem::kLabelMissing:
      return "「" + label + "」の行の「=」が見つかりません。行の頭の「" + label +
             "=」を元に戻してから、もう一度[実行]を押してください。";
    case EditProblem::kFieldTooLong:
      return "「" + label + "」が長すぎるため(" + std::to_string(kEditLineLimit) +
             "バイトまで)、ここでは変更できません。ファイルをテキストエディタで直してください。";
    case EditProblem::kTextAfterMemo2:
      return "「メモ2」の行より後に書かれた文字は保存できません。「メモ2」の行の後ろへ移すか消して"
             "から、"
             "もう一度[実行]を押してください。";
    case EditProblem::kMalformedEvent:
      return "このできごとの行は形式が崩れているため、書き換えられません。";
    case EditProblem::kNone:
      break;
  }
  return {};
}

}  // namespace qev
