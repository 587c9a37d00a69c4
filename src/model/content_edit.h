#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp932.h"

// In-place editing of the selected point: its event text and memos through
// the right information panel ("[設定]", then "[実行]" or "[中止]"), and its
// two levels through the level-change values of the control panel. Pure
// functions on CP932 bytes; the study session writes the slot, the view the
// panel.
namespace qev {

// The longest right-panel line an edit takes, label included.
inline constexpr std::size_t kEditLineLimit = 255;
// How far into a point-list key its slot and line numbers are looked for.
inline constexpr std::size_t kKeyScanLimit = 201;

struct ContentEditState {
  bool contentEditMode = false;  // while the right panel holds an edit
  // Counts the tests of the "[設定]"/"[実行]" area: each click on it is
  // tested twice, so entering takes it to 2 and the next click to 4, which
  // writes the edit back.
  int editClickCount = 0;
  // The levels the level-change values write (1..5); every information panel
  // redraw sets them to the selected point's own levels.
  int importanceChange = 1;
  int memorisationChange = 1;

  bool editing() const { return contentEditMode; }
  // Leaves an edit without writing it back. True when one was under way:
  // the caller then rebuilds everything (full refresh).
  bool Cancel();
};

// A level after one click on its value: +1 (left) goes 1..5 then 1 again,
// -1 (right) goes 5..1 then 5 again.
int StepLevel(int level, int step);

// Where a point's event line is: slot (0..9) and line within the slot.
struct EventLineLocation {
  int slot = 0;
  std::size_t line = 0;
  friend bool operator==(const EventLineLocation&, const EventLineLocation&) = default;
};

// The slot and line numbers of a point-list key "head;slot;line;...", read
// within its first 201 bytes. Nothing when the key has fewer fields there or
// names no slot 0..9: the edit is then refused, never written elsewhere.
std::optional<EventLineLocation> LocateEventLine(std::string_view key);

// The right panel's text while editing the event line `line`: the event text
// (without the approximate-date mark "*", which the panel never shows) and
// the two memos, each after its label and ended by CR LF:
//   "できごと=..." / "  メモ1  =..." / "  メモ2  =...".
// Taken from the line, not from the panel as shown, so that a panel with some
// of its displays switched off cannot shift a memo into the event text.
Sjis EditPanelText(std::string_view line);

enum class EditProblem {
  kNone,
  kLineTooLong,     // a panel line is longer than kEditLineLimit bytes
  kLabelMissing,    // a panel line lacks its "=" (or is missing)
  kMalformedEvent,  // the event line has fewer than three ";"
  kFieldTooLong,    // a field of the line is too long for a panel line
  kTextAfterMemo2,  // text typed after the third panel line, which has no field
};

struct EditedLine {
  Sjis line;  // empty unless ok()
  EditProblem problem = EditProblem::kNone;
  int panelLine = 0;  // the panel line (0..2) a panel problem is about
  bool ok() const { return problem == EditProblem::kNone; }
};

// The event line "[実行]" writes: `line` up to its third ";", then the text
// after the first "=" of each of the first three panel lines, each ended by
// ";". A ";" typed into a text would end its field early, so it becomes the
// full-width "；". The event field keeps the old line's "*" mark. Refused
// rather than cut or guessed: a panel line too long or without its "=", or an
// event line without its first three fields, or text after the third panel
// line (it would be lost).
EditedLine RewriteEventLine(std::string_view line, const std::vector<Sjis>& panelLines);

// What to tell the user about a refused edit (UTF-8), naming the panel line.
std::string EditProblemMessage(const EditedLine& edited);

// `line` with the importance digit (byte 7) and the memorisation digit
// (byte 9) both rewritten. Nothing when the line does not hold digits there,
// so a malformed line is never overwritten in the middle of another field,
// or when a level is not a single digit.
std::optional<Sjis> WriteLevelDigits(std::string_view line, int importance, int memorisation);

}  // namespace qev
