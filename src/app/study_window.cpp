#include "app/study_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "app/screen_fit.h"
#include "events/event_line.h"
#include "study/event_key.h"
#include "study/order_question.h"
#include "study/study_time.h"
#include "text/byte_fields.h"
#include "text/circled.h"
#include "timeline/date_text.h"

namespace qev {
namespace {

enum Page { kQuestionPage, kNoticePage, kSummaryPage };

QString Decoded(std::string_view cp932) {
  return QString::fromStdString(DecodeCp932(cp932));
}

QString DateText(std::optional<int> day, int today) {
  if (!day) return QStringLiteral("―");
  const QString date = QString::fromStdString(JapaneseDate(DateOfDay(*day)));
  return *day == today ? QStringLiteral("今日 (%1)").arg(date) : date;
}

// Where the window keeps the learner's goals across starts.
const QString kRetentionKey = QStringLiteral("study/retention");
const QString kNewPerDayKey = QStringLiteral("study/newPerDay");

QPushButton* Button(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

StudyWindow::StudyWindow(Round& round, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool), round_(round), mainWindow_(mainWindow) {
  setWindowTitle(QStringLiteral("確認テスト"));

  size_ = new QSpinBox(this);
  size_->setRange(kMinRoundSize, kMaxRoundSize);
  size_->setValue(kDefaultRoundSize);
  size_->setSuffix(QStringLiteral(" 問"));
  retention_ = new QSpinBox(this);
  retention_->setObjectName(QStringLiteral("retention"));
  retention_->setRange(static_cast<int>(kMinRetention * 100 + 0.5),
                       static_cast<int>(kMaxRetention * 100 + 0.5));
  retention_->setSuffix(QStringLiteral(" %"));
  retention_->setValue(static_cast<int>(round_.goals().retention * 100 + 0.5));
  retention_->setToolTip(QStringLiteral("復習するときに思い出せる見込み: 高いほど復習が増えます"));
  newPerDay_ = new QSpinBox(this);
  newPerDay_->setObjectName(QStringLiteral("newPerDay"));
  newPerDay_->setRange(0, kMaxNewPerDay);
  newPerDay_->setSuffix(QStringLiteral(" 件"));
  newPerDay_->setValue(round_.goals().newPerDay);
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(new QLabel(QStringLiteral("1回の問題数"), this));
  sizeRow->addWidget(size_);
  sizeRow->addWidget(new QLabel(QStringLiteral("目標の想起率"), this));
  sizeRow->addWidget(retention_);
  sizeRow->addWidget(new QLabel(QStringLiteral("1日の新規"), this));
  sizeRow->addWidget(newPerDay_);
  sizeRow->addStretch(1);
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(new QLabel(QStringLiteral("出題形式"), this));
  for (const QuestionKind* kind : round_.allKinds()) {
    auto* tick = new QCheckBox(
        QString::fromUtf8(kind->name().data(), static_cast<qsizetype>(kind->name().size())), this);
    tick->setChecked(true);
    connect(tick, &QCheckBox::toggled, this, [this] { KindsTicked(); });
    kindRow->addWidget(tick);
    ticks_.emplace_back(kind, tick);
  }
  kindRow->addStretch(1);
  counts_ = new QLabel(this);

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
  for (const QuestionKind* kind : round_.allKinds()) {
    if (std::unique_ptr<AnswerWidget> answer = MakeAnswerWidget(*kind, question)) {
      answer->handedIn = [this] { EnterPressed(); };
      // The window's keys reach it before a field takes them as text.
      answer->widget()->installEventFilter(this);
      answers_.emplace(kind, std::move(answer));
    }
  }
  verdict_ = new QLabel(question);
  verdict_->setWordWrap(true);
  verdict_->setFont(big);
  hintButton_ = Button(QStringLiteral("ヒント (H)"), question);
  hintButton_->setObjectName(QStringLiteral("hint"));
  giveUp_ = Button(QStringLiteral("わからない (?)"), question);
  giveUp_->setObjectName(QStringLiteral("giveUp"));
  easy_ = Button(QStringLiteral("簡単 (E)"), question);
  easy_->setObjectName(QStringLiteral("easy"));
  easy_->setToolTip(QStringLiteral("すぐに思い出せた (E)"));
  auto* end = Button(QStringLiteral("終了 (Esc)"), question);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(hintButton_);
  buttons->addWidget(giveUp_);
  buttons->addWidget(easy_);
  buttons->addStretch(1);
  buttons->addWidget(end);
  // Two columns, the question and its buttons beside the answer and what
  // it tells, so that a question of three events fits the strip the window
  // has when docked under the panels.
  auto* asked = new QVBoxLayout;
  asked->addWidget(progress_);
  asked->addWidget(event_);
  asked->addStretch(1);
  asked->addLayout(buttons);
  auto* answering = new QVBoxLayout;
  for (const QuestionKind* kind : round_.allKinds()) {
    if (auto found = answers_.find(kind); found != answers_.end()) {
      answering->addWidget(found->second->widget());
    }
  }
  answering->addWidget(verdict_);
  answering->addWidget(hint_);
  answering->addStretch(1);
  auto* questionLayout = new QHBoxLayout(question);
  questionLayout->addLayout(asked, 1);
  questionLayout->addLayout(answering, 1);
  pages_->addWidget(question);

  auto* notice = new QWidget(pages_);
  notice_ = new QLabel(notice);
  notice_->setWordWrap(true);
  lowestRound_ = Button(QStringLiteral("それでも記憶度の低い順に出題 (Enter)"), notice);
  auto* closeButton = Button(QStringLiteral("閉じる (Esc)"), notice);
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
  save_ = Button(QStringLiteral("結果を保存 (Enter)"), summary);
  discard_ = Button(QStringLiteral("保存しない (Esc)"), summary);
  retry_ = Button(QStringLiteral("間違えた問題をもう一度 (R)"), summary);
  retry_->setObjectName(QStringLiteral("retry"));
  auto* summaryButtons = new QHBoxLayout;
  summaryButtons->addWidget(retry_);
  summaryButtons->addStretch(1);
  summaryButtons->addWidget(save_);
  summaryButtons->addWidget(discard_);
  auto* summaryLayout = new QVBoxLayout(summary);
  summaryLayout->addWidget(summary_);
  summaryLayout->addStretch(1);
  summaryLayout->addLayout(summaryButtons);
  pages_->addWidget(summary);

  // The settings are for the start and the end of a round: a question
  // shows only itself, so that the window fits under the line.
  settings_ = new QWidget(this);
  auto* settingsLayout = new QVBoxLayout(settings_);
  settingsLayout->setContentsMargins(0, 0, 0, 0);
  settingsLayout->addLayout(sizeRow);
  settingsLayout->addLayout(kindRow);
  settingsLayout->addWidget(counts_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(2);
  // Docked under the line the window may be smaller than its contents
  // would have it: it never grows over the line.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(settings_);
  layout->addWidget(pages_, 1);
  questionLayout->setContentsMargins(0, 0, 0, 0);
  questionLayout->setSpacing(12);
  asked->setSpacing(2);
  answering->setSpacing(2);
  resize(560, 240);
  // A click on the main window during a question gives the answer the
  // keys back.
  qApp->installEventFilter(this);

  connect(hintButton_, &QPushButton::clicked, this, [this] {
    if (const std::string hint = round_.ShowHint(); !hint.empty()) {
      hint_->setText(QString::fromStdString(hint));
    }
    FocusAnswer();
  });
  connect(giveUp_, &QPushButton::clicked, this, [this] {
    if (round_.asking()) ShowOutcome(round_.GiveUp());
    FocusAnswer();
  });
  connect(easy_, &QPushButton::clicked, this, [this] {
    if (const std::optional<AnswerOutcome> outcome = round_.MarkEasy()) ShowOutcome(*outcome);
    FocusAnswer();
  });
  connect(retention_, &QSpinBox::valueChanged, this, [this] { GoalsChanged(); });
  connect(newPerDay_, &QSpinBox::valueChanged, this, [this] { GoalsChanged(); });
  connect(retry_, &QPushButton::clicked, this, [this] {
    ShowStart(round_.RetryMisses());
    FocusAnswer();
  });
  connect(end, &QPushButton::clicked, this, [this] { EndRound(); });
  connect(lowestRound_, &QPushButton::clicked, this,
          [this] { ShowStart(round_.StartAnyway(roundSize())); });
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  connect(save_, &QPushButton::clicked, this, [this] {
    Q_EMIT saveRequested(round_.changedSlots());
    hide();
    Q_EMIT closed();
  });
  connect(discard_, &QPushButton::clicked, this, [this] {
    hide();
    Q_EMIT closed();
  });
}

StudyGoals ReadStudyGoals() {
  const QSettings settings;
  return {settings.value(kRetentionKey, kDefaultRetention).toDouble(),
          settings.value(kNewPerDayKey, kDefaultNewPerDay).toInt()};
}

void WriteStudyGoals(const StudyGoals& goals) {
  QSettings settings;
  settings.setValue(kRetentionKey, goals.retention);
  settings.setValue(kNewPerDayKey, goals.newPerDay);
}

void StudyWindow::GoalsChanged() {
  round_.SetGoals({retention_->value() / 100.0, newPerDay_->value()});
  WriteStudyGoals(round_.goals());
  if (pages_->currentIndex() != kQuestionPage || round_.over()) ShowCounts();
}

void StudyWindow::ShowCounts() {
  const DueCount count = round_.Count();
  counts_->setText(QStringLiteral("復習 %1 件 / 新規 %2 件（今日の残り %3）")
                       .arg(count.due)
                       .arg(count.fresh)
                       .arg(count.newLeft));
}

QString StudyWindow::countsText() const {
  return counts_->text();
}

int StudyWindow::Today() const {
  return DayNumber(round_.Now());
}

int StudyWindow::roundSize() const {
  return size_->value();
}

QString StudyWindow::shownText() const {
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

void StudyWindow::StartRound() {
  const bool running = isVisible() && pages_->currentIndex() == kQuestionPage && !round_.over();
  show();
  // Placed once shown, when the window system has told its frame, and
  // again once the first page has settled its layout.
  PlaceBesideMainWindow();
  QTimer::singleShot(0, this, [this] { PlaceBesideMainWindow(); });
  raise();
  activateWindow();
  // Asked again while a round runs: the round goes on.
  if (!running) {
    ShowCounts();
    ShowStart(round_.StartRound(roundSize()));
  }
  FocusAnswer();
}

void StudyWindow::ShowStart(Round::Start start) {
  if (start == Round::Start::kRound) {
    ShowQuestion();
    return;
  }
  if (start == Round::Start::kEmptyPool) {
    notice_->setText(QStringLiteral("QEVライン上にできごとがありません。"));
    lowestRound_->hide();
  } else {
    notice_->setText(QStringLiteral("今日復習するできごとはありません。\n次の復習日: %1")
                         .arg(DateText(round_.NextDueDay(), Today())));
    lowestRound_->show();
  }
  pages_->setCurrentIndex(kNoticePage);
  settings_->show();
  if (lowestRound_->isVisible()) lowestRound_->setFocus();
}

AnswerWidget* StudyWindow::CurrentAnswer() {
  const auto found = answers_.find(round_.kind());
  return found != answers_.end() ? found->second.get() : nullptr;
}

bool StudyWindow::TakeLineClick(const LinePlace& place) {
  if (!round_.takesLineClicks()) return false;
  const AnswerOutcome outcome = round_.Answer(place);
  if (outcome.verdict != AnswerVerdict::kUnreadable) ShowOutcome(outcome);
  return true;
}

void StudyWindow::ShowQuestion() {
  const StudyEvent* e = round_.current();
  if (!e) return;
  pages_->setCurrentIndex(kQuestionPage);
  settings_->hide();
  const int level = std::clamp(DigitAt(e->line, kMemorisationPos), 1, 5);
  progress_->setText(QStringLiteral("問題 %1 / %2　　記憶度%3")
                         .arg(round_.index() + 1)
                         .arg(round_.count())
                         .arg(Decoded(CircledNumber(level))));
  const QString prompt = QString::fromStdString(round_.kind()->Prompt(*round_.question()));
  event_->setText(prompt);
  // Three events in the large type would not fit the window docked under
  // the line.
  QFont font = verdict_->font();
  if (prompt.contains(u'\n')) font.setPointSizeF(hint_->font().pointSizeF());
  event_->setFont(font);
  hint_->clear();
  verdict_->clear();
  for (auto& [kind, answer] : answers_) {
    const bool asks = kind == round_.kind();
    answer->widget()->setVisible(asks);
    if (asks) answer->Ask(*round_.question());
  }
  hintButton_->setEnabled(true);
  giveUp_->setEnabled(true);
  easy_->setEnabled(false);
  if (!round_.logProblem().empty()) {
    hint_->setText(QStringLiteral("学習記録に書けませんでした: %1")
                       .arg(QString::fromStdString(round_.logProblem())));
  }
  FocusAnswer();
}

void StudyWindow::EnterPressed() {
  if (round_.revealed()) {
    if (round_.Next()) {
      ShowQuestion();
    } else {
      ShowSummary();
    }
    return;
  }
  AnswerWidget* answer = CurrentAnswer();
  if (!round_.asking() || !answer) return;
  const AnswerOutcome outcome = round_.Answer(answer->Given());
  if (outcome.verdict == AnswerVerdict::kUnreadable) {
    verdict_->setText(answer->Refused());
    return;
  }
  ShowOutcome(outcome);
}

void StudyWindow::ShowOutcome(const AnswerOutcome& outcome) {
  const bool right = outcome.verdict == AnswerVerdict::kRight;
  QString text = QStringLiteral("<b style='color:%1'>%2</b>　%3<br>記憶度%4 → %5")
                     .arg(right ? QStringLiteral("#0a7a0a") : QStringLiteral("#c00000"),
                          right ? QStringLiteral("正解") : QStringLiteral("不正解"),
                          Decoded(outcome.dateText).toHtmlEscaped(),
                          Decoded(CircledNumber(outcome.levelBefore)),
                          Decoded(CircledNumber(outcome.levelAfter)));
  if (!outcome.confusion.empty()) {
    text += QStringLiteral("<br>") + QString::fromStdString(outcome.confusion).toHtmlEscaped();
  }
  if (const Question* question = round_.question(); question && question->order.size() > 1) {
    for (const std::size_t i : OrderQuestion::InTimeOrder(*question)) {
      const auto shown = static_cast<std::size_t>(
          std::find(question->order.begin(), question->order.end(), i) - question->order.begin());
      static const QString kNumerals[] = {QStringLiteral("I"), QStringLiteral("II"),
                                          QStringLiteral("III")};
      text += QStringLiteral("<br><small>%1　%2　%3</small>")
                  .arg(shown < 3 ? kNumerals[shown] : QString(),
                       Decoded(EventDateText(question->events[i].line)).toHtmlEscaped(),
                       Decoded(EventTextField(question->events[i].line)).toHtmlEscaped());
    }
  }
  text += round_.easyOffered() ? QStringLiteral("<br><small>Enter で次へ、E で簡単</small>")
                               : QStringLiteral("<br><small>Enter で次へ</small>");
  verdict_->setText(text);
  easy_->setEnabled(round_.easyOffered());
  if (AnswerWidget* answer = CurrentAnswer()) answer->Lock();
  hintButton_->setEnabled(false);
  giveUp_->setEnabled(false);
  FocusAnswer();
}

void StudyWindow::EndRound() {
  round_.End();
  ShowSummary();
}

QString StudyWindow::MissesText() const {
  if (round_.misses().empty()) return {};
  QString text = QStringLiteral("<p><small>間違えた問題</small><br><small>");
  for (const RoundMiss& miss : round_.misses()) {
    text += QStringLiteral("%1　%2<br>")
                .arg(Decoded(miss.dateText).toHtmlEscaped(),
                     Decoded(EventTextField(miss.event.line)).toHtmlEscaped());
  }
  return text + QStringLiteral("</small></p>");
}

QString StudyWindow::LogProblemText() const {
  if (round_.logProblem().empty()) return {};
  return QStringLiteral("<p><small>学習記録に書けませんでした: %1</small></p>")
      .arg(QString::fromStdString(round_.logProblem()).toHtmlEscaped());
}

void StudyWindow::ShowSummary() {
  const RoundSummary& s = round_.summary();
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
                    row(QStringLiteral("次の復習日"), DateText(round_.NextDueDay(), Today())) +
                    QStringLiteral("</table>") + MissesText() + LogProblemText());
  retry_->setVisible(!round_.misses().empty());
  pages_->setCurrentIndex(kSummaryPage);
  settings_->show();
  ShowCounts();
  save_->setFocus();
}

void StudyWindow::FocusAnswer() {
  if (pages_->currentIndex() == kQuestionPage && !round_.over()) {
    if (AnswerWidget* answer = CurrentAnswer()) answer->Focus();
  }
}

void StudyWindow::KeepClearOf(std::function<QRect()> keepClear) {
  keepClear_ = std::move(keepClear);
}

void StudyWindow::PlaceBesideMainWindow() {
  const QRect frame = mainWindow_->frameGeometry();
  const QSize size = sizeHint().expandedTo(QSize(560, 240));
  const QScreen* screen = mainWindow_->screen();
  const QRect room = screen ? screen->availableGeometry() : frame;
  const QRect clear = keepClear_ ? keepClear_() : QRect();
  // The frame the window system puts round this window counts too.
  const QRect outer = frameGeometry();
  const QMargins margins(geometry().left() - outer.left(), geometry().top() - outer.top(),
                         outer.right() - geometry().right(), outer.bottom() - geometry().bottom());
  const QRect place = PlaceClearOf(room, frame, clear, size.grownBy(margins));
  setGeometry(place.marginsRemoved(margins));
}

bool StudyWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool asking = pages_->currentIndex() == kQuestionPage && !round_.over();
  if (event->type() == QEvent::MouseButtonRelease && asking && isVisible()) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == mainWindow_) {
      QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
        FocusAnswer();
      });
    }
    return false;
  }
  if (event->type() == QEvent::KeyPress && asking && watched != this &&
      qobject_cast<QWidget*>(watched) && qobject_cast<QWidget*>(watched)->window() == this) {
    if (RunKey(static_cast<QKeyEvent*>(event)->key())) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool StudyWindow::RunKey(int key) {
  QPushButton* button = key == Qt::Key_H                           ? hintButton_
                        : key == Qt::Key_Question                  ? giveUp_
                        : key == Qt::Key_E && round_.easyOffered() ? easy_
                                                                   : nullptr;
  if (!button || !button->isEnabled()) return false;
  button->click();
  return true;
}

void StudyWindow::KindsTicked() {
  std::vector<const QuestionKind*> ticked;
  for (const auto& [kind, tick] : ticks_) {
    if (tick->isChecked()) ticked.push_back(kind);
  }
  round_.AskKinds(ticked);
  if (pages_->currentIndex() != kQuestionPage || round_.over()) ShowCounts();
}

void StudyWindow::closeEvent(QCloseEvent* event) {
  if (pages_->currentIndex() == kQuestionPage && !round_.over()) {
    // Closing in the middle of a round ends it: the summary decides.
    event->ignore();
    EndRound();
    return;
  }
  event->accept();
  Q_EMIT closed();
}

void StudyWindow::keyPressEvent(QKeyEvent* event) {
  // E: "簡単", once a right answer is shown and the answer field takes no
  // more text.
  if (pages_->currentIndex() == kQuestionPage && RunKey(event->key())) return;
  if (pages_->currentIndex() == kSummaryPage && event->key() == Qt::Key_R && retry_->isVisible()) {
    retry_->click();
    return;
  }
  // Esc reaches here from the answer field and the buttons, which leave it.
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  if (pages_->currentIndex() == kQuestionPage) {
    EndRound();
  } else {
    close();
  }
}

void StudyWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FocusAnswer();
}

}  // namespace qev
