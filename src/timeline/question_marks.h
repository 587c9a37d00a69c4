#pragma once

#include <vector>

#include "events/event_date.h"
#include "platform/canvas.h"
#include "text/cp932.h"
#include "timeline/timeline_scale.h"

namespace qev {

// What the self-test marks on the line: a ring round the asked event's
// mark while its question is open, and after the answer the places of the
// question's events and of the click, each with its label. The places are
// years, so that a zoom or a scroll keeps them where they belong.
struct QuestionMarks {
  bool ring = false;
  struct Label {
    EraYear year;
    Sjis text;
  };
  std::vector<Label> labels;
};

// Draws them over the line and the selection marks; nothing when there are
// none, so that the line is drawn as ever outside a question.
void DrawQuestionMarks(const TimelineScale& scale, const QuestionMarks& marks, int selectedX,
                       Canvas& drawArea);

}  // namespace qev
