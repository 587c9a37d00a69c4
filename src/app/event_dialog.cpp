#include "app/event_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

namespace qev {
namespace {

QComboBox* EraBox(bool bc) {
  auto* box = new QComboBox;
  box->addItems({QStringLiteral("AD (西暦)"), QStringLiteral("BC (紀元前)")});
  box->setCurrentIndex(bc ? 1 : 0);
  return box;
}

QSpinBox* YearBox(int year) {
  auto* box = new QSpinBox;
  box->setRange(1, 9999);
  box->setValue(std::clamp(year, 1, 9999));
  return box;
}

QComboBox* LevelBox(int level) {
  auto* box = new QComboBox;
  box->addItems({QStringLiteral("①"), QStringLiteral("②"), QStringLiteral("③"), QStringLiteral("④"),
                 QStringLiteral("⑤")});
  box->setCurrentIndex(std::clamp(level, 1, 5) - 1);
  return box;
}

QLineEdit* TextBox(const std::string& text) {
  auto* edit = new QLineEdit(QString::fromStdString(text));
  edit->setMinimumWidth(360);
  return edit;
}

QWidget* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : widgets) layout->addWidget(w);
  layout->addStretch();
  return row;
}

}  // namespace

EventDialog::EventDialog(const std::vector<std::pair<int, QString>>& files, int file,
                         const EventForm& form, std::optional<Sjis> editedLine, QWidget* parent)
    : QDialog(parent), editedLine_(std::move(editedLine)) {
  setWindowTitle(editedLine_ ? QStringLiteral("できごとを編集") : QStringLiteral("できごとを追加"));
  file_ = new QComboBox;
  for (const auto& [slot, label] : files) {
    file_->addItem(label, slot);
    if (slot == file) file_->setCurrentIndex(file_->count() - 1);
  }
  // An edit rewrites the line where it is.
  file_->setEnabled(!editedLine_);

  era_ = EraBox(form.first.bc);
  year_ = YearBox(form.first.year);
  approximate_ = new QCheckBox(QStringLiteral("ころ"));
  approximate_->setChecked(form.firstApproximate);

  second_ = new QGroupBox(QStringLiteral("2つ目の年 (範囲の終わり)"));
  second_->setCheckable(true);
  second_->setChecked(form.second.has_value());
  const EraYear second = form.second.value_or(form.first);
  secondEra_ = EraBox(second.bc);
  secondYear_ = YearBox(second.year);
  secondApproximate_ = new QCheckBox(QStringLiteral("ころ"));
  secondApproximate_->setChecked(form.secondApproximate);
  auto* secondLayout = new QHBoxLayout(second_);
  secondLayout->addWidget(secondEra_);
  secondLayout->addWidget(secondYear_);
  secondLayout->addWidget(secondApproximate_);
  secondLayout->addStretch();

  period_ = TextBox(form.period);
  event_ = TextBox(form.event);
  memo1_ = TextBox(form.memo1);
  memo2_ = TextBox(form.memo2);
  importance_ = LevelBox(form.importance);
  memorisation_ = LevelBox(form.memorisation);
  // Named for the tests that fill the dialog in.
  year_->setObjectName(QStringLiteral("year"));
  period_->setObjectName(QStringLiteral("period"));
  event_->setObjectName(QStringLiteral("event"));
  memo1_->setObjectName(QStringLiteral("memo1"));
  importance_->setObjectName(QStringLiteral("importance"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &EventDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &EventDialog::reject);

  auto* layout = new QFormLayout(this);
  layout->addRow(QStringLiteral("ファイル"), file_);
  layout->addRow(QStringLiteral("年"), Row({era_, year_, approximate_}));
  layout->addRow(second_);
  layout->addRow(QStringLiteral("時代"), period_);
  layout->addRow(QStringLiteral("できごと"), event_);
  layout->addRow(QStringLiteral("メモ1"), memo1_);
  layout->addRow(QStringLiteral("メモ2"), memo2_);
  layout->addRow(QStringLiteral("重要度"), importance_);
  layout->addRow(QStringLiteral("記憶度"), memorisation_);
  layout->addRow(buttons);
  year_->setFocus();
  year_->selectAll();
}

int EventDialog::file() const {
  return file_->currentData().toInt();
}

EventForm EventDialog::form() const {
  EventForm form;
  form.first = {era_->currentIndex() == 1, year_->value()};
  form.firstApproximate = approximate_->isChecked();
  if (second_->isChecked()) {
    form.second = EraYear{secondEra_->currentIndex() == 1, secondYear_->value()};
    form.secondApproximate = secondApproximate_->isChecked();
  }
  form.importance = importance_->currentIndex() + 1;
  form.memorisation = memorisation_->currentIndex() + 1;
  form.period = period_->text().toStdString();
  form.event = event_->text().toStdString();
  form.memo1 = memo1_->text().toStdString();
  form.memo2 = memo2_->text().toStdString();
  return form;
}

QWidget* EventDialog::FieldWidget(FormField field) const {
  switch (field) {
    case FormField::kYear:
      return year_;
    case FormField::kSecondYear:
      return secondYear_;
    case FormField::kPeriod:
      return period_;
    case FormField::kEvent:
      return event_;
    case FormField::kMemo1:
      return memo1_;
    case FormField::kMemo2:
      return memo2_;
    case FormField::kNone:
      break;
  }
  return nullptr;
}

void EventDialog::accept() {
  const EventForm f = form();
  const ComposedLine composed =
      editedLine_ ? ComposeEditedLine(*editedLine_, f) : ComposeEventLine(f);
  if (!composed.ok()) {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(composed.message));
    if (QWidget* w = FieldWidget(composed.field)) w->setFocus();
    return;
  }
  line_ = composed.line;
  QDialog::accept();
}

}  // namespace qev
