#include "app/study_record_window.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHorizontalStackedBarSeries>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

#include "app/screen_fit.h"
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
  auto* axisX = new QBarCategoryAxis;
  axisX->append(days);
  axisX->setTruncateLabels(false);
  QFont small = axisX->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  axisX->setLabelsFont(small);
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

}  // namespace

StudyRecordWindow::StudyRecordWindow(QWidget* mainWindow, QSize screen)
    : QWidget(mainWindow, Qt::Window), screen_(screen) {
  setWindowTitle(QStringLiteral("学習の記録"));
  due_ = new QLabel(this);
  QFont big = due_->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  due_->setFont(big);
  counted_ = new QLabel(this);
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
  layout->addWidget(scroll, 1);
  layout->addWidget(buttons);
}

void StudyRecordWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void StudyRecordWindow::Show(const StudyRecord& record, int today) {
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
  charts_->addWidget(LevelChart(record), 1);
  charts_->addWidget(AnswerChart(record), 1);
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
