#include "app/self_test_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "events/event_line.h"
#include "study/event_key.h"
#include "study/study_time.h"
#include "text/byte_fields.h"
#include "text/circled.h"

namespace qev {
namespace {

enum Page { kQuestionPage, kNoticePage, kSummaryPage };

QString Decoded(std::string_view cp932) {
  return QString::fromStdString(DecodeCp932(cp932));
}

// A field without the approximate-date mark, which the panels never show.
QString Unmarked(std::string_view field) {
  if (field.starts_with('*')) field.remove_prefix(1);
  return Decoded(field);
}

QString DateText(std::optional<int> day, int today) {
  if (!day) return QStringLiteral("―");
  const QString date = QString::fromStdString(JapaneseDate(DateOfDay(*day)));
  return *day == today ? QStringLiteral("今日 (%1)").arg(date) : date;
}

QPushButton* Button(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

SelfTestWindow::SelfTestWindow(SelfTest& test, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), test_(test), mainWindow_(mainWindow) {
  setWindowTitle(QStringLiteral("確認テスト"));

  size_ = new QSpinBox(this);
  size_->setRange(kMinRoundSize, kMaxRoundSize);
  size_->setValue(kDefaultRoundSize);
  size_->setSuffix(QStringLiteral(" 問"));
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(new QLabel(QStringLiteral("1回の問題数"), this));
  sizeRow->addWidget(size_);
  sizeRow->addStretch(1);

  pages_ = new QStackedWidget(this);

  auto* question = new QWidget(pages_);
  progress_ = new QLabel(question);
  event_ = new QLabel(question);
  event_->setWordWrap(true);
  QFont big = event_->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  event_->setFont(big);
  hint_ = new QLabel(question);
  hint_->setWordWrap(true);
  answer_ = new QLineEdit(question);
  answer_->setPlaceholderText(QStringLiteral("年を入力 (例: 794, BC91, 前91)"));
  verdict_ = new QLabel(question);
  verdict_->setWordWrap(true);
  verdict_->setFont(big);
  hintButton_ = Button(QStringLiteral("ヒント"), question);
  giveUp_ = Button(QStringLiteral("わからない"), question);
  giveUp_->setObjectName(QStringLiteral("giveUp"));
  auto* end = Button(QStringLiteral("終了"), question);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(hintButton_);
  buttons->addWidget(giveUp_);
  buttons->addStretch(1);
  buttons->addWidget(end);
  auto* questionLayout = new QVBoxLayout(question);
  questionLayout->addWidget(progress_);
  questionLayout->addWidget(event_);
  questionLayout->addWidget(hint_);
  questionLayout->addWidget(answer_);
  questionLayout->addWidget(verdict_);
  questionLayout->addStretch(1);
  questionLayout->addLayout(buttons);
  pages_->addWidget(question);

  auto* notice = new QWidget(pages_);
  notice_ = new QLabel(notice);
  notice_->setWordWrap(true);
  lowestRound_ = Button(QStringLiteral("それでも記憶度の低い順に出題"), notice);
  auto* closeButton = Button(QStringLiteral("閉じる"), notice);
  auto* noticeButtons = new QHBoxLayout;
  noticeButtons->addWidget(lowestRound_);
  noticeButtons->addStretch(1);
  noticeButtons->addWidget(closeButton);
  auto* noticeLayout = new QVBoxLayout(notice);
  noticeLayout->addWidget(notice_);
  noticeLayout->addStretch(1);
  noticeLayout->addLayout(noticeButtons);
  pages_->addWidget(notice);

  auto* summary = new QWidget(pages_);
  summary_ = new QLabel(summary);
  summary_->setFont(big);
  summary_->setWordWrap(true);
  save_ = Button(QStringLiteral("結果を保存"), summary);
  discard_ = Button(QStringLiteral("保存しない"), summary);
  auto* summaryButtons = new QHBoxLayout;
  summaryButtons->addStretch(1);
  summaryButtons->addWidget(save_);
  summaryButtons->addWidget(discard_);
  auto* summaryLayout = new QVBoxLayout(summary);
  summaryLayout->addWidget(summary_);
  summaryLayout->addStretch(1);
  summaryLayout->addLayout(summaryButtons);
  pages_->addWidget(summary);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(sizeRow);
  layout->addWidget(pages_, 1);
  resize(440, 250);

  connect(answer_, &QLineEdit::returnPressed, this, [this] { EnterPressed(); });
  connect(hintButton_, &QPushButton::clicked, this, [this] {
    if (const StudyEvent* e = test_.current()) {
      hint_->setText(QStringLiteral("時代: %1\nメモ1: %2")
                         .arg(Unmarked(Field(e->line, ';', 2)), Decoded(Field(e->line, ';', 4))));
    }
    FocusAnswer();
  });
  connect(giveUp_, &QPushButton::clicked, this, [this] {
    if (test_.asking()) ShowOutcome(test_.GiveUp());
    FocusAnswer();
  });
  connect(end, &QPushButton::clicked, this, [this] { EndRound(); });
  connect(lowestRound_, &QPushButton::clicked, this,
          [this] { ShowStart(test_.StartLowestLevelRound(roundSize())); });
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  connect(save_, &QPushButton::clicked, this, [this] {
    Q_EMIT saveRequested(test_.changedSlots());
    hide();
    Q_EMIT closed();
  });
  connect(discard_, &QPushButton::clicked, this, [this] {
    hide();
    Q_EMIT closed();
  });
}

int SelfTestWindow::Today() const {
  return DayNumber(test_.Now());
}

int SelfTestWindow::roundSize() const {
  return size_->value();
}

QString SelfTestWindow::shownText() const {
  switch (pages_->currentIndex()) {
    case kQuestionPage:
      return progress_->text() + u'\n' + event_->text() + u'\n' + hint_->text() + u'\n' +
             verdict_->text();
    case kNoticePage:
      return notice_->text();
    default:
      return summary_->text();
  }
}

void SelfTestWindow::StartRound() {
  if (!isVisible()) PlaceBesideMainWindow();
  const bool running = isVisible() && pages_->currentIndex() == kQuestionPage && !test_.over();
  show();
  raise();
  activateWindow();
  // Asked again while a round runs: the round goes on.
  if (!running) ShowStart(test_.StartRound(roundSize()));
  FocusAnswer();
}

void SelfTestWindow::ShowStart(SelfTest::Start start) {
  if (start == SelfTest::Start::kRound) {
    ShowQuestion();
    return;
  }
  if (start == SelfTest::Start::kEmptyPool) {
    notice_->setText(QStringLiteral("QEVライン上にできごとがありません。"));
    lowestRound_->hide();
  } else {
    notice_->setText(QStringLiteral("今日復習するできごとはありません。\n次の復習日: %1")
                         .arg(DateText(test_.NextDueDay(), Today())));
    lowestRound_->show();
  }
  pages_->setCurrentIndex(kNoticePage);
  if (lowestRound_->isVisible()) lowestRound_->setFocus();
}

void SelfTestWindow::ShowQuestion() {
  const StudyEvent* e = test_.current();
  if (!e) return;
  pages_->setCurrentIndex(kQuestionPage);
  const int level = std::clamp(DigitAt(e->line, kMemorisationPos), 1, 5);
  progress_->setText(QStringLiteral("問題 %1 / %2　　記憶度%3")
                         .arg(test_.index() + 1)
                         .arg(test_.count())
                         .arg(Decoded(CircledNumber(level))));
  event_->setText(Unmarked(EventTextField(e->line)));
  hint_->clear();
  verdict_->clear();
  answer_->clear();
  answer_->setReadOnly(false);
  hintButton_->setEnabled(true);
  giveUp_->setEnabled(true);
  FocusAnswer();
}

void SelfTestWindow::EnterPressed() {
  if (test_.revealed()) {
    if (test_.Next()) {
      ShowQuestion();
    } else {
      ShowSummary();
    }
    return;
  }
  if (!test_.asking()) return;
  const AnswerOutcome outcome = test_.Answer(answer_->text().toStdString());
  if (outcome.verdict == AnswerVerdict::kUnreadable) {
    verdict_->setText(QStringLiteral("年として読めません。例: 794, ０７９４, BC91, 前91"));
    answer_->selectAll();
    return;
  }
  ShowOutcome(outcome);
}

void SelfTestWindow::ShowOutcome(const AnswerOutcome& outcome) {
  const bool right = outcome.verdict == AnswerVerdict::kRight;
  QString text = QStringLiteral("<b style='color:%1'>%2</b>　%3<br>記憶度%4 → %5")
                     .arg(right ? QStringLiteral("#0a7a0a") : QStringLiteral("#c00000"),
                          right ? QStringLiteral("正解") : QStringLiteral("不正解"),
                          Decoded(outcome.dateText).toHtmlEscaped(),
                          Decoded(CircledNumber(outcome.levelBefore)),
                          Decoded(CircledNumber(outcome.levelAfter)));
  text += QStringLiteral("<br><small>Enter で次へ</small>");
  if (!outcome.logProblem.empty()) {
    text += QStringLiteral("<br><small>学習記録に書けませんでした: %1</small>")
                .arg(QString::fromStdString(outcome.logProblem).toHtmlEscaped());
  }
  verdict_->setText(text);
  answer_->setReadOnly(true);
  hintButton_->setEnabled(false);
  giveUp_->setEnabled(false);
  FocusAnswer();
}

void SelfTestWindow::EndRound() {
  test_.End();
  ShowSummary();
}

void SelfTestWindow::ShowSummary() {
  const RoundSummary& s = test_.summary();
  auto row = [](const QString& label, const QString& value) {
    return QStringLiteral("<tr><td>%1</td><td align=right>&nbsp;&nbsp;%2</td></tr>")
        .arg(label, value);
  };
  summary_->setText(QStringLiteral("<table>") +
                    row(QStringLiteral("問題数"), QString::number(s.questions)) +
                    row(QStringLiteral("正解"), QString::number(s.right)) +
                    row(QStringLiteral("不正解"), QString::number(s.wrong)) +
                    row(QStringLiteral("記憶度が上がった"), QString::number(s.levelsUp)) +
                    row(QStringLiteral("記憶度が下がった"), QString::number(s.levelsDown)) +
                    row(QStringLiteral("次の復習日"), DateText(test_.NextDueDay(), Today())) +
                    QStringLiteral("</table>"));
  pages_->setCurrentIndex(kSummaryPage);
  save_->setFocus();
}

void SelfTestWindow::FocusAnswer() {
  if (pages_->currentIndex() == kQuestionPage && !test_.over()) answer_->setFocus();
}

void SelfTestWindow::PlaceBesideMainWindow() {
  // Over the upper right of the timeline, below the menu: the line with the
  // selected point in the middle, the panels and the controls stay in sight.
  const QRect frame = mainWindow_->frameGeometry();
  const QSize size = sizeHint().expandedTo(this->size());
  move(std::max(frame.left(), frame.right() - size.width() - 20), frame.top() + 60);
}

void SelfTestWindow::closeEvent(QCloseEvent* event) {
  if (pages_->currentIndex() == kQuestionPage && !test_.over()) {
    // Closing in the middle of a round ends it: the summary decides.
    event->ignore();
    EndRound();
    return;
  }
  event->accept();
  Q_EMIT closed();
}

void SelfTestWindow::keyPressEvent(QKeyEvent* event) {
  // Esc reaches here from the answer field and the buttons, which leave it.
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  if (pages_->currentIndex() == kQuestionPage) {
    EndRound();
  } else {
    close();
  }
}

void SelfTestWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FocusAnswer();
}

}  // namespace qev
