#pragma once

#include <QSize>
#include <QWidget>

#include "study/study_stats.h"

class QLabel;
class QVBoxLayout;

namespace qev {

// "学習の記録": per file, the events at each memorisation level as stacked
// bars; the events due today and in the next 7 days; the answers per day of
// the last 30 days, right and wrong; all of the events on the line, as a
// line above says. It fits the screen (the charts scroll where it is small)
// with its close button in view; Esc closes it.
class StudyRecordWindow final : public QWidget {
  Q_OBJECT
 public:
  // `screen`: the size of the screen the program is laid out for.
  StudyRecordWindow(QWidget* mainWindow, QSize screen);

  // Draws `record` of the day `today` (a DayNumber).
  void Show(const StudyRecord& record, int today);
  QString dueText() const;
  QString countedText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QSize screen_;
  QLabel* due_;
  QLabel* counted_;
  QVBoxLayout* charts_;
};

}  // namespace qev
