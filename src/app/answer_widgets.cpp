#include "app/answer_widgets.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>
#include <string_view>

#include "study/order_question.h"
#include "study/study_log.h"

namespace qev {
namespace {

// "年": the year typed into a line edit.
class YearAnswer final : public AnswerWidget {
 public:
  explicit YearAnswer(QWidget* parent) : edit_(new QLineEdit(parent)) {
    edit_->setObjectName(QStringLiteral("yearAnswer"));
    edit_->setPlaceholderText(QStringLiteral("年を入力 (例: 794, BC91, 前91)"));
    QObject::connect(edit_, &QLineEdit::returnPressed, edit_, [this] {
      if (handedIn) handedIn();
    });
  }
  QWidget* widget() override { return edit_; }
  void Ask(const Question& /*question*/) override {
    edit_->clear();
    edit_->setReadOnly(false);
  }
  KindAnswer Given() const override { return TypedAnswer{edit_->text().toStdString()}; }
  QString Refused() override {
    edit_->selectAll();
    return QStringLiteral("年として読めません。例: 794, ０７９４, BC91, 前91");
  }
  void Lock() override { edit_->setReadOnly(true); }
  void Focus() override { edit_->setFocus(); }

 private:
  QLineEdit* edit_;
};

// "年代整序": the six orders as buttons, each chosen by a click or its key
// (1 to 6), which hands it in.
class OrderAnswer final : public QWidget, public AnswerWidget {
 public:
  explicit OrderAnswer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("orderAnswer"));
    setFocusPolicy(Qt::StrongFocus);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t k = 0; k < kExamOrders.size(); ++k) {
      auto* button = new QPushButton(
          QStringLiteral("%1  (%2)").arg(QString::fromStdString(ExamOrderText(k))).arg(k + 1),
          this);
      button->setObjectName(QStringLiteral("order%1").arg(k + 1));
      button->setAutoDefault(false);
      button->setFocusPolicy(Qt::NoFocus);
      connect(button, &QPushButton::clicked, this, [this, k] { Choose(k); });
      grid->addWidget(button, static_cast<int>(k / 3), static_cast<int>(k % 3));
      buttons_.push_back(button);
    }
  }
  QWidget* widget() override { return this; }
  void Ask(const Question& question) override {
    question_ = question;
    chosen_.reset();
    for (QPushButton* button : buttons_) button->setEnabled(true);
  }
  KindAnswer Given() const override {
    if (!chosen_) return TypedAnswer{};
    return OrderQuestion::Choice(question_, *chosen_);
  }
  QString Refused() override { return QStringLiteral("①〜⑥のどれかを選んでください (1〜6 キー)"); }
  void Lock() override {
    for (QPushButton* button : buttons_) button->setEnabled(false);
  }
  void Focus() override { setFocus(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int k = event->key() - Qt::Key_1;
    if (k >= 0 && k < 6 && buttons_[static_cast<std::size_t>(k)]->isEnabled()) {
      Choose(static_cast<std::size_t>(k));
      return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (handedIn) handedIn();
      return;
    }
    QWidget::keyPressEvent(event);
  }

 private:
  void Choose(std::size_t k) {
    chosen_ = k;
    if (handedIn) handedIn();
  }
  Question question_;
  std::optional<std::size_t> chosen_;
  std::vector<QPushButton*> buttons_;
};

// "位置": answered by a click on the line; the widget only says so and
// takes Enter to go on.
class PlaceAnswer final : public QLabel, public AnswerWidget {
 public:
  explicit PlaceAnswer(QWidget* parent)
      : QLabel(QStringLiteral("QEVライン上で、このできごとの位置をクリックしてください"), parent) {
    setObjectName(QStringLiteral("placeAnswer"));
    setFocusPolicy(Qt::StrongFocus);
  }
  QWidget* widget() override { return this; }
  void Ask(const Question& /*question*/) override {}
  KindAnswer Given() const override { return TypedAnswer{}; }
  QString Refused() override { return QStringLiteral("QEVライン上をクリックして答えてください"); }
  void Lock() override {}
  void Focus() override { setFocus(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (handedIn) handedIn();
      return;
    }
    QLabel::keyPressEvent(event);
  }
};

struct KindWidget {
  std::string_view kind;
  std::unique_ptr<AnswerWidget> (*make)(QWidget* parent);
};

template <typename T>
std::unique_ptr<AnswerWidget> Make(QWidget* parent) {
  return std::make_unique<T>(parent);
}

// One line per kind of the study registry.
constexpr KindWidget kKindWidgets[] = {
    {kYearKindName, &Make<YearAnswer>},
    {"年代整序", &Make<OrderAnswer>},
    {"位置", &Make<PlaceAnswer>},
};

}  // namespace

std::unique_ptr<AnswerWidget> MakeAnswerWidget(const QuestionKind& kind, QWidget* parent) {
  for (const KindWidget& entry : kKindWidgets) {
    if (entry.kind == kind.name()) return entry.make(parent);
  }
  return nullptr;
}

}  // namespace qev
