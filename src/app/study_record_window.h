#pragma once

#include <QSize>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

#include "study/round.h"
#include "study/study_stats.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace qev {

// "学習の記録": per file, the events at each memorisation level as stacked
// bars; the events due today and in the next 7 days, and per day over the
// next 30; the answers per day of the last 30 days, right and wrong; the
// memory model's predicted recall against the share right; all of the
// events on the line, as a line above says. "記憶モデルを最適化" fits the
// model to the log on a thread of its own, with a progress bar and
// "中止", and tells the figures before and after; "既定に戻す" goes back to
// the defaults. It fits the screen (the charts scroll where it is small)
// with its close button in view; Esc closes it.
class StudyRecordWindow final : public QWidget {
  Q_OBJECT
 public:
  // `screen`: the size of the screen the program is laid out for.
  StudyRecordWindow(QWidget* mainWindow, QSize screen, Round& round);
  // Stops a fit still running.
  ~StudyRecordWindow() override;

  // Draws the round's record now.
  void Show();
  QString dueText() const;
  QString countedText() const;
  QString modelText() const;
  bool fitting() const { return fit_ != nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The fit running: its thread, its progress and its result.
  struct Fit {
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{1};
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    MemoryOptimization result;
    std::thread thread;
  };
  void StartFit();
  void PollFit();
  void StopFit();
  void ShowModel(const MemoryMetrics& metrics);

  Round& round_;
  QSize screen_;
  QLabel* due_;
  QLabel* counted_;
  QLabel* model_;
  QPushButton* optimize_;
  QPushButton* reset_;
  QPushButton* cancel_;
  QProgressBar* progress_;
  QVBoxLayout* charts_;
  std::unique_ptr<Fit> fit_;
  QTimer poll_;
};

}  // namespace qev
