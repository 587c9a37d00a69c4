#include "app/study_record_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHorizontalStackedBarSeries>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollArea>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

#include "app/screen_fit.h"
#include "study/card_memories.h"
#include "study/study_report.h"
#include "study/study_time.h"
#include "text/circled.h"

namespace qev {
namespace {

constexpr int kChartHeight = 220;
constexpr int kChartFrame = 110;  // title, axis and legend of a chart
constexpr int kBarHeight = 22;
constexpr QSize kPreferredSize(900, 660);

// Level colours from unknown (red) to known (green).
const QColor kLevelColours[5] = {QColor(0xd7, 0x30, 0x27), QColor(0xfc, 0x8d, 0x59),
                                 QColor(0xfe, 0xe0, 0x8b), QColor(0x91, 0xcf, 0x60),
                                 QColor(0x1a, 0x98, 0x50)};

// A count axis from 0 with whole, round steps (1, 2, 5, 10, 20, 50 ...).
QValueAxis* CountAxis(int highest) {
  int step = 1;
  for (int scale = 1; highest / step > 8; scale *= 10) {
    for (int m : {1, 2, 5}) {
      step = m * scale;
      if (highest / step <= 8) break;
    }
  }
  auto* axis = new QValueAxis;
  axis->setRange(0, std::max(1, (highest + step - 1) / step) * step);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(step);
  axis->setLabelFormat(QStringLiteral("%d"));
  return axis;
}

QChartView* ChartView(QChart* chart) {
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
  auto* view = new QChartView(chart);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumHeight(kChartHeight);
  return view;
}

QChartView* LevelChart(const StudyRecord& record) {
  // The bars go up from the axis: the last slot first puts slot order from
  // the top.
  const std::vector<StudyRecord::File> files(record.files.rbegin(), record.files.rend());
  auto* series = new QHorizontalStackedBarSeries;
  QStringList names;
  int widest = 0;
  for (int level = 0; level < 5; ++level) {
    auto* set = new QBarSet(QStringLiteral("記憶度") +
                            QString::fromStdString(DecodeCp932(CircledNumber(level + 1))));
    set->setColor(kLevelColours[level]);
    for (const StudyRecord::File& file : files) *set << file.levels[level];
    series->append(set);
  }
  for (const StudyRecord::File& file : files) {
    names << QString::fromStdString(DecodeCp932(file.title));
    int total = 0;
    for (int n : file.levels) total += n;
    widest = std::max(widest, total);
  }
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("ファイルごとの記憶度"));
  chart->addSeries(series);
  auto* axisY = new QBarCategoryAxis;
  axisY->append(names);
  axisY->setTruncateLabels(false);
  chart->addAxis(axisY, Qt::AlignLeft);
  series->attachAxis(axisY);
  auto* axisX = CountAxis(widest);
  chart->addAxis(axisX, Qt::AlignBottom);
  series->attachAxis(axisX);
  QChartView* view = ChartView(chart);
  // Room for every file's name beside its bar.
  view->setMinimumHeight(
      std::max(kChartHeight, kChartFrame + kBarHeight * static_cast<int>(files.size())));
  return view;
}

// Thirty days by their day of the month, in a smaller font and never
// shortened to "…": the chart is narrow on a small screen.
QBarCategoryAxis* DayAxis(const QStringList& days) {
  auto* axis = new QBarCategoryAxis;
  axis->append(days);
  axis->setTruncateLabels(false);
  QFont small = axis->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  axis->setLabelsFont(small);
  return axis;
}

QChartView* AnswerChart(const StudyRecord& record) {
  auto* right = new QBarSet(QStringLiteral("正解"));
  right->setColor(QColor(0x1a, 0x98, 0x50));
  auto* wrong = new QBarSet(QStringLiteral("不正解"));
  wrong->setColor(QColor(0xd7, 0x30, 0x27));
  QStringList days;
  int highest = 0;
  for (const DayAnswers& day : record.days) {
    *right << day.right;
    *wrong << day.wrong;
    highest = std::max(highest, day.right + day.wrong);
    days << QString::number(DateOfDay(day.day).day);
  }
  auto* series = new QStackedBarSeries;
  series->append(right);
  series->append(wrong);
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("最近30日の解答数"));
  chart->addSeries(series);
  auto* axisX = DayAxis(days);
  if (!record.days.empty()) {
    axisX->setTitleText(
        QStringLiteral("%1 〜 %2")
            .arg(QString::fromStdString(JapaneseDate(DateOfDay(record.days.front().day))),
                 QString::fromStdString(JapaneseDate(DateOfDay(record.days.back().day)))));
  }
  chart->addAxis(axisX, Qt::AlignBottom);
  series->attachAxis(axisX);
  auto* axisY = CountAxis(highest);
  chart->addAxis(axisY, Qt::AlignLeft);
  series->attachAxis(axisY);
  return ChartView(chart);
}

QChartView* DueChart(const StudyRecord& record, int today) {
  auto* due = new QBarSet(QStringLiteral("復習"));
  due->setColor(QColor(0x45, 0x75, 0xb4));
  QStringList days;
  int highest = 0;
  for (std::size_t i = 0; i < record.duePerDay.size(); ++i) {
    *due << record.duePerDay[i];
    highest = std::max(highest, record.duePerDay[i]);
    days << QString::number(DateOfDay(today + static_cast<int>(i)).day);
  }
  auto* series = new QBarSeries;
  series->append(due);
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("今後30日の復習数"));
  chart->addSeries(series);
  auto* axisX = DayAxis(days);
  axisX->setTitleText(QStringLiteral("今日（期限を過ぎたものを含む）から"));
  chart->addAxis(axisX, Qt::AlignBottom);
  series->attachAxis(axisX);
  auto* axisY = CountAxis(highest);
  chart->addAxis(axisY, Qt::AlignLeft);
  series->attachAxis(axisY);
  chart->legend()->hide();
  return ChartView(chart);
}

QValueAxis* ShareAxis(const QString& title) {
  auto* axis = new QValueAxis;
  axis->setRange(0, 100);
  axis->setTickCount(6);
  axis->setLabelFormat(QStringLiteral("%d%%"));
  axis->setTitleText(title);
  return axis;
}

QChartView* CalibrationChart(const StudyRecord& record) {
  auto* ideal = new QLineSeries;
  ideal->setName(QStringLiteral("予測どおり"));
  ideal->append(0, 0);
  ideal->append(100, 100);
  ideal->setColor(QColor(0x99, 0x99, 0x99));
  auto* actual = new QLineSeries;
  actual->setName(QStringLiteral("実際の正解率"));
  actual->setColor(QColor(0xd7, 0x30, 0x27));
  auto* points = new QScatterSeries;
  points->setName(QStringLiteral("予測の10%ごとの区間"));
  points->setColor(QColor(0xd7, 0x30, 0x27));
  points->setMarkerSize(9);
  for (const CalibrationBin& bin : record.calibration) {
    actual->append(bin.predicted * 100, bin.actual * 100);
    points->append(bin.predicted * 100, bin.actual * 100);
  }
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("予測した想起率と実際の正解率"));
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{ideal, actual, points}) {
    chart->addSeries(series);
  }
  auto* axisX = ShareAxis(QStringLiteral("予測した想起率"));
  auto* axisY = ShareAxis(QStringLiteral("正解率"));
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(axisX);
    series->attachAxis(axisY);
  }
  return ChartView(chart);
}

QString Figures(const MemoryMetrics& m) {
  return QStringLiteral("対数損失 %1、RMSE %2（%3 件）")
      .arg(m.logLoss, 0, 'f', 4)
      .arg(m.rmseBins, 0, 'f', 4)
      .arg(m.reviews);
}

}  // namespace

StudyRecordWindow::StudyRecordWindow(QWidget* mainWindow, QSize screen, Round& round)
    : QWidget(mainWindow, Qt::Window), round_(round), screen_(screen) {
  setWindowTitle(QStringLiteral("学習の記録"));
  due_ = new QLabel(this);
  QFont big = due_->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  due_->setFont(big);
  counted_ = new QLabel(this);
  model_ = new QLabel(this);
  model_->setWordWrap(true);
  optimize_ = new QPushButton(QStringLiteral("記憶モデルを最適化"), this);
  optimize_->setObjectName(QStringLiteral("optimize"));
  reset_ = new QPushButton(QStringLiteral("既定に戻す"), this);
  cancel_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_->hide();
  progress_ = new QProgressBar(this);
  progress_->hide();
  auto* modelRow = new QHBoxLayout;
  modelRow->addWidget(optimize_);
  modelRow->addWidget(progress_, 1);
  modelRow->addWidget(cancel_);
  modelRow->addWidget(reset_);
  modelRow->addStretch(1);
  auto* charts = new QWidget;
  charts_ = new QVBoxLayout(charts);
  charts_->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(charts);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(due_);
  layout->addWidget(counted_);
  layout->addWidget(model_);
  layout->addLayout(modelRow);
  layout->addWidget(scroll, 1);
  layout->addWidget(buttons);

  connect(optimize_, &QPushButton::clicked, this, [this] { StartFit(); });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (fit_) fit_->cancel = true;
  });
  connect(reset_, &QPushButton::clicked, this, [this] {
    const std::optional<std::string> problem = ResetMemoryParameters(round_);
    Show();
    if (problem) {
      model_->setText(QStringLiteral("記憶モデル.txt に書けませんでした: %1")
                          .arg(QString::fromStdString(*problem)));
    }
  });
  poll_.setInterval(50);
  connect(&poll_, &QTimer::timeout, this, [this] { PollFit(); });
}

StudyRecordWindow::~StudyRecordWindow() {
  StopFit();
}

void StudyRecordWindow::StartFit() {
  if (fit_) return;
  fit_ = std::make_unique<Fit>();
  Fit& fit = *fit_;
  // The log copied here; the thread touches nothing else.
  fit.thread =
      std::thread([&fit, log = MemoryLogOf(round_.history()), start = round_.parameters()] {
        fit.result = OptimizeMemory(log, start, [&fit](std::size_t done, std::size_t total) {
          fit.done = done;
          fit.total = std::max<std::size_t>(total, 1);
          return !fit.cancel;
        });
        fit.finished = true;
      });
  optimize_->setEnabled(false);
  reset_->setEnabled(false);
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->show();
  cancel_->show();
  model_->setText(QStringLiteral("記憶モデルを学習記録に合わせています…"));
  poll_.start();
}

void StudyRecordWindow::StopFit() {
  if (!fit_) return;
  fit_->cancel = true;
  fit_->thread.join();
  fit_.reset();
  poll_.stop();
}

void StudyRecordWindow::PollFit() {
  if (!fit_) return;
  progress_->setValue(static_cast<int>(1000 * fit_->done / fit_->total));
  if (!fit_->finished) return;
  fit_->thread.join();
  const MemoryOptimization result = fit_->result;
  fit_.reset();
  poll_.stop();
  progress_->hide();
  cancel_->hide();
  optimize_->setEnabled(true);
  reset_->setEnabled(true);
  const std::optional<std::string> problem = KeepOptimization(round_, result);
  QString text;
  switch (result.outcome) {
    case MemoryOptimization::Outcome::kTooFewReviews:
      text = QStringLiteral(
                 "最適化には、別の日の復習があと %1 件必要です（今 %2 件）。"
                 "既定のパラメータのままです。")
                 .arg(result.reviewsNeeded)
                 .arg(result.reviews);
      break;
    case MemoryOptimization::Outcome::kCancelled:
      text = QStringLiteral("最適化を中止しました。パラメータは変わっていません。");
      break;
    case MemoryOptimization::Outcome::kNoImprovement:
      text = QStringLiteral(
                 "最適化しても予測が良くならないので、今のパラメータのままです。<br>"
                 "取り分けた復習で: 今 %1／最適化後 %2")
                 .arg(Figures(result.before), Figures(result.after));
      break;
    case MemoryOptimization::Outcome::kFitted:
      text = QStringLiteral(
                 "記憶モデルを最適化し、記憶モデル.txt に保存しました。<br>"
                 "取り分けた復習で: 前 %1 → 後 %2")
                 .arg(Figures(result.before), Figures(result.after));
      break;
  }
  if (problem) {
    text += QStringLiteral("<br>記憶モデル.txt に書けませんでした: %1")
                .arg(QString::fromStdString(*problem).toHtmlEscaped());
  }
  Show();
  model_->setText(text);
}

void StudyRecordWindow::ShowModel(const MemoryMetrics& metrics) {
  const bool defaults = round_.parameters() == kDefaultMemoryParameters;
  model_->setText(
      QStringLiteral("記憶モデル（%1）: 学習記録の予測 %2")
          .arg(defaults ? QStringLiteral("既定のパラメータ")
                        : QStringLiteral("最適化したパラメータ"),
               metrics.reviews > 0 ? Figures(metrics) : QStringLiteral("まだありません")));
}

QString StudyRecordWindow::modelText() const {
  return model_->text();
}

void StudyRecordWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void StudyRecordWindow::Show() {
  const StudyRecord record = round_.Statistics();
  const int today = DayNumber(round_.Now());
  while (QLayoutItem* item = charts_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  due_->setText(QStringLiteral("%1 現在　今日の復習: %2 件　　今後7日間に復習: %3 件")
                    .arg(QString::fromStdString(JapaneseDate(DateOfDay(today))))
                    .arg(record.due.today)
                    .arg(record.due.nextWeek));
  counted_->setText(
      QStringLiteral("数えているのは、表示中のファイルとフィルタのできごと %1 件です。")
          .arg(record.events));
  ShowModel(record.metrics);
  charts_->addWidget(LevelChart(record), 1);
  charts_->addWidget(DueChart(record, today), 1);
  charts_->addWidget(AnswerChart(record), 1);
  charts_->addWidget(CalibrationChart(record), 1);
  // Where the user put it once it shows.
  if (!isVisible()) FitOnScreen(*this, kPreferredSize, screen_);
  show();
  raise();
  activateWindow();
}

QString StudyRecordWindow::dueText() const {
  return due_->text();
}

QString StudyRecordWindow::countedText() const {
  return counted_->text();
}

}  // namespace qev
