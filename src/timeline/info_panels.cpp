#include "timeline/info_panels.h"

#include <algorithm>

#include "events/event_line.h"
#include "text/byte_fields.h"
#include "timeline/date_text.h"
#include "timeline/point_display.h"

namespace qev {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// A masked part keeps its width in bytes plus `extra` spaces, so the
// separators of the line stay where the user expects them.
void AppendShownOrMasked(Sjis& out, std::string_view text, int shown, std::size_t extra) {
  if (shown) {
    out.append(text);
  } else {
    out.append(text.size() + extra, ' ');
  }
}

// The date range after line 1 (範囲表示), indented. The first date is
// approximate when the event text starts with "*", the second when the
// period text does. An approximate date without a second date is shown
// alone with its "ころ", since line 1 leaves its year out. Returns whether
// a date was appended.
bool AppendRange(Sjis& out, std::string_view firstDate, const Sjis& secondDate, bool firstAbout,
                 bool secondAbout) {
  const bool hasEnd = !secondDate.empty();
  if (!hasEnd && !secondAbout && !firstAbout) return false;
  out.append(hasEnd && !firstAbout && !secondAbout ? 18 : 16, ' ');
  out += DateRangeText(firstDate, secondDate, firstAbout, secondAbout);
  return true;
}

void AppendLabelled(Sjis& out, const Sjis& label, std::string_view text) {
  out += label;
  out += text;
  out += kCrLf;
}

// The text handed to the control panel and the level it stands for. Only
// ①..⑤ change the level. An unconverted memorisation digit (outside 0..5,
// or after an unconverted importance digit) is one byte; taking the part
// between the commas (not two bytes at a fixed offset) shows that digit as it
// is rather than the digit and the "," after it, or a "," and half a
// character.
Sjis LevelText(std::string_view symbol, int toPanel, int& change) {
  if (const int level = CircledLevel(symbol); level != 0) change = level;
  return toPanel ? Sjis(symbol) : Sjis(3, ' ');
}

}  // namespace

InfoPanelsContent ComposeInfoPanels(std::string_view displayLine, const DisplaySettings& settings,
                                    std::string_view pointKey, int importanceChange,
                                    int memorisationChange) {
  InfoPanelsContent c;
  const EventFields f = ParseEvent(displayLine);
  // The levels and the second date are looked for inside field 1 only: a
  // line that lacks some of its commas then shows what it holds instead of
  // pulling other fields in. Like the reader, look in the first
  // kDateScanLimit bytes of the event line only; the display form is two
  // bytes longer there (two level symbols for two digits).
  const auto [importance, memorisation, secondDateField] =
      ParseEvent(displayLine.substr(0, std::min(displayLine.size(), kDateScanLimit + 2)))
          .LevelParts();
  // The "*" that marks a date as approximate is never shown itself.
  const bool eventAbout = f.firstApproximate;
  const bool periodAbout = f.secondApproximate;
  const Sjis secondDate = SecondDateShown(secondDateField);

  // Line 1: date ; importance , memorisation ; event ; with the second date
  // left out. In 範囲表示 an approximate first date is shown on the range
  // line and its place here holds eight spaces; 年表示 has no range line, so
  // it is shown here with "ころ".
  Sjis& left = c.left;
  const bool yearMode = settings.yearDisplayMode == YearDisplayMode::kYear;
  if (eventAbout && yearMode && YearsShown(settings).date) {
    left += f.dateField;
    left += " ころ"_sj;
  } else if (eventAbout) {
    left.append(8, ' ');
  } else {
    AppendShownOrMasked(left, f.dateField, YearsShown(settings).date, 4);
  }
  left += ';';
  AppendShownOrMasked(left, importance, settings.showImportance, 1);
  left += ',';
  AppendShownOrMasked(left, memorisation, settings.showMemorisation, 1);
  left += ';';
  if (settings.showEventLeft) left += f.event;
  left += ';';
  left += kCrLf;

  if (YearsShown(settings).range) {
    const bool dateShown = AppendRange(left, f.dateField, secondDate, eventAbout, periodAbout);
    if (settings.showEventLeft && !f.period.empty()) {
      if (dateShown) {
        left += " = ";
      } else {
        left.append(17, ' ');
      }
      left += f.period;
      left += kCrLf;
    }
  }

  if (settings.showEventRight) AppendLabelled(c.right, "できごと="_sj, f.event);
  if (settings.showMemo1 && YearsShown(settings).memos) {
    AppendLabelled(c.right, "  メモ1  ="_sj, f.memo1);
  }
  if (settings.showMemo2 && YearsShown(settings).memos) {
    AppendLabelled(c.right, "  メモ2  ="_sj, f.memo2);
  }

  c.importanceChange = importanceChange;
  c.memorisationChange = memorisationChange;
  c.selectedImportanceText = LevelText(importance, settings.importanceToPanel, c.importanceChange);
  c.selectedMemorisationText =
      LevelText(memorisation, settings.memorisationToPanel, c.memorisationChange);

  const std::size_t slotPos = pointKey.find(';');
  c.selectedSlotDigit = slotPos == std::string_view::npos ? '\0' : ByteAt(pointKey, slotPos + 1);
  return c;
}

}  // namespace qev
