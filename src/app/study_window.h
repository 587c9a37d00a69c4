#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/answer_widgets.h"
#include "study/line_click.h"
#include "study/round.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;

namespace qev {

// The learner's goals as the settings keep them across starts.
StudyGoals ReadStudyGoals();
void WriteStudyGoals(const StudyGoals& goals);

// "確認テスト": the self-test window beside the main window, running a round.
// Not modal: the main window stays usable while a round runs. Each question
// is answered in the widget of its kind, which has the keyboard focus
// whenever a question is shown; Enter answers, Enter again goes on; Esc
// ends the round and shows the summary, which Esc closes without saving.
// A click on the line goes to the round first while its question takes
// one.
class StudyWindow final : public QWidget, public LineClickTaker {
  Q_OBJECT
 public:
  StudyWindow(Round& round, QWidget* mainWindow);

  // Starts a round of the set number of questions and shows the window.
  void StartRound();
  int roundSize() const;

  bool TakeLineClick(const LinePlace& place) override;
  // What the window must never cover (the main window's drawing area and
  // panels, in screen coordinates), asked each time it is placed.
  void KeepClearOf(std::function<QRect()> keepClear);

  // The parts a test drives.
  QPushButton& saveButton() { return *save_; }
  // "復習 n 件 / 新規 n 件（今日の残り k）" as shown.
  QString countsText() const;
  QString shownText() const;

 Q_SIGNALS:
  // "結果を保存": the slots the round changed are to be saved.
  void saveRequested(const std::vector<int>& slots);
  // The window closed; editing may go on.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowStart(Round::Start start);
  void ShowQuestion();
  void EnterPressed();
  void ShowOutcome(const AnswerOutcome& outcome);
  void EndRound();
  void ShowSummary();
  QString MissesText() const;
  QString LogProblemText() const;
  void FocusAnswer();
  // The widget of the open question's kind.
  AnswerWidget* CurrentAnswer();
  void PlaceBesideMainWindow();
  // H, ? and E press their buttons while a question is shown.
  bool RunKey(int key);
  void KindsTicked();
  void ShowCounts();
  // The goals set in the window, kept in the settings and given the round.
  void GoalsChanged();
  int Today() const;

  Round& round_;
  QWidget* mainWindow_;
  QStackedWidget* pages_;
  // The question page.
  QLabel* progress_;
  QLabel* event_;
  QLabel* hint_;
  std::map<const QuestionKind*, std::unique_ptr<AnswerWidget>> answers_;
  QLabel* verdict_;
  QPushButton* hintButton_;
  QPushButton* giveUp_;
  QPushButton* easy_;
  // The page shown when nothing is due or nothing is on the line.
  QLabel* notice_;
  QPushButton* lowestRound_;
  // The summary page.
  QLabel* summary_;
  QPushButton* save_;
  QPushButton* discard_;
  QPushButton* retry_;
  QSpinBox* size_;
  QSpinBox* retention_;  // percent
  QSpinBox* newPerDay_;
  QLabel* counts_;
  QWidget* settings_;
  std::vector<std::pair<const QuestionKind*, QCheckBox*>> ticks_;
  std::function<QRect()> keepClear_;
};

}  // namespace qev
