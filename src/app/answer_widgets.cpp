#include "app/answer_widgets.h"

#include <QLineEdit>

#include <string_view>

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
};

}  // namespace

std::unique_ptr<AnswerWidget> MakeAnswerWidget(const QuestionKind& kind, QWidget* parent) {
  for (const KindWidget& entry : kKindWidgets) {
    if (entry.kind == kind.name()) return entry.make(parent);
  }
  return nullptr;
}

}  // namespace qev
