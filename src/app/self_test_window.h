#pragma once

#include <QWidget>

#include <vector>

#include "study/self_test.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;

namespace qev {

// "確認テスト": the self-test window beside the main window. Not modal: the
// main window stays usable while a round runs. The answer field has the
// keyboard focus whenever a question is shown; Enter answers, Enter again
// goes on; Esc ends the round and shows the summary, which Esc closes
// without saving.
class SelfTestWindow final : public QWidget {
  Q_OBJECT
 public:
  SelfTestWindow(SelfTest& test, QWidget* mainWindow);

  // Starts a round of the set number of questions and shows the window.
  void StartRound();
  int roundSize() const;

  // The parts a test drives.
  QLineEdit& answerField() { return *answer_; }
  QPushButton& saveButton() { return *save_; }
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

 private:
  void ShowStart(SelfTest::Start start);
  void ShowQuestion();
  void EnterPressed();
  void ShowOutcome(const AnswerOutcome& outcome);
  void EndRound();
  void ShowSummary();
  void FocusAnswer();
  void PlaceBesideMainWindow();
  int Today() const;

  SelfTest& test_;
  QWidget* mainWindow_;
  QStackedWidget* pages_;
  // The question page.
  QLabel* progress_;
  QLabel* event_;
  QLabel* hint_;
  QLineEdit* answer_;
  QLabel* verdict_;
  QPushButton* hintButton_;
  QPushButton* giveUp_;
  // The page shown when nothing is due or nothing is on the line.
  QLabel* notice_;
  QPushButton* lowestRound_;
  // The summary page.
  QLabel* summary_;
  QPushButton* save_;
  QPushButton* discard_;
  QSpinBox* size_;
};

}  // namespace qev
