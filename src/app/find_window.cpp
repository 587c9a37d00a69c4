#include "app/find_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>
#include <string>

namespace qev {
namespace {

QString FromSjis(std::string_view bytes) {
  return QString::fromStdString(DecodeCp932(bytes));
}

QString OffLineText(OffLine off) {
  switch (off) {
    case OffLine::kFilteredOut:
      return QStringLiteral("フィルタで非表示");
    case OffLine::kSlotOff:
      return QStringLiteral("ファイルがOFF");
    case OffLine::kGone:
    case OffLine::kOnLine:
      break;
  }
  return {};
}

enum Column { kDate, kText, kFile, kReason, kColumnCount };

}  // namespace

void FoundModel::SetRows(std::vector<Row> rows, std::vector<QString> slotLabels) {
  beginResetModel();
  rows_ = std::move(rows);
  slotLabels_ = std::move(slotLabels);
  endResetModel();
}

int FoundModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FoundModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant FoundModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::ForegroundRole && row.off != OffLine::kOnLine) {
    return QPalette().color(QPalette::Disabled, QPalette::Text);
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kDate:
      return FromSjis(row.found.date);
    case kText:
      return FromSjis(row.found.text);
    case kFile:
      return row.slot >= 0 && static_cast<std::size_t>(row.slot) < slotLabels_.size()
                 ? slotLabels_[static_cast<std::size_t>(row.slot)]
                 : QString();
    case kReason:
      return OffLineText(row.off);
    default:
      return {};
  }
}

QVariant FoundModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const QString kTitles[] = {QStringLiteral("年代"), QStringLiteral("できごと"),
                                    QStringLiteral("ファイル"), QString()};
  return section >= 0 && section < kColumnCount ? kTitles[section] : QVariant();
}

FindWindow::FindWindow(EventDesk& desk, QWidget* parent) : QDialog(parent, Qt::Tool), desk_(desk) {
  setWindowTitle(QStringLiteral("検索"));
  query_ = new QLineEdit;
  query_->setPlaceholderText(
      QStringLiteral("できごと・時代・メモの文字、または年 (794, BC91, 前91)"));
  query_->setClearButtonEnabled(true);
  list_ = new QTreeView;
  list_->setModel(&model_);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(kText, QHeaderView::Stretch);
  status_ = new QLabel;
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(query_);
  layout->addWidget(list_);
  layout->addWidget(status_);
  resize(560, 360);

  connect(query_, &QLineEdit::textChanged, this, [this] { Search(); });
  connect(query_, &QLineEdit::returnPressed, this, [this] { ChooseCurrent(); });
  connect(list_, &QAbstractItemView::doubleClicked, this, [this] { ChooseCurrent(); });
  query_->installEventFilter(this);
  list_->installEventFilter(this);
  auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(next, &QShortcut::activated, this, [this] {
    if (const std::optional<FoundModel::Row> row = Step(1)) Q_EMIT chosen(*row);
  });
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  connect(previous, &QShortcut::activated, this, [this] {
    if (const std::optional<FoundModel::Row> row = Step(-1)) Q_EMIT chosen(*row);
  });
}

void FindWindow::Open() {
  Refresh();
  show();
  raise();
  activateWindow();
  query_->setFocus();
  query_->selectAll();
}

void FindWindow::Refresh() {
  if (indexedVersion_ == desk_.EventsVersion()) return;
  Search();
}

void FindWindow::Search() {
  if (indexedVersion_ != desk_.EventsVersion()) {
    events_ = desk_.Events();
    lines_.clear();
    lines_.reserve(events_.size());
    for (const DeskEvent& e : events_) lines_.push_back(e.line);
    search_.Build(lines_);
    indexedVersion_ = desk_.EventsVersion();
  }
  const std::vector<std::size_t> found = search_.Find(query_->text().toStdString());
  std::vector<FoundModel::Row> rows;
  rows.reserve(found.size());
  for (FoundEvent& f : FoundEvents(lines_, found)) {
    const DeskEvent& e = events_[f.index];
    rows.push_back({std::move(f), e.key, e.slot, e.off});
  }
  std::vector<QString> labels;
  for (int k = 0; k < 10; ++k) labels.push_back(FromSjis(desk_.SlotLabel(k)));
  model_.SetRows(std::move(rows), std::move(labels));
  FitColumns();
  chosenRow_ = -1;
  if (resultCount() > 0) list_->setCurrentIndex(model_.index(0, 0));
  status_->setText(query_->text().isEmpty() ? QString()
                                            : QStringLiteral("%1 件").arg(resultCount()));
}

void FindWindow::FitColumns() {
  const QFontMetrics metrics = list_->fontMetrics();
  auto width = [&](const QString& text) { return metrics.horizontalAdvance(text); };
  auto title = [&](Column c) {
    return width(model_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
  };
  const std::vector<FoundModel::Row>& rows = model_.rows();
  std::size_t longest = 0;
  for (const FoundModel::Row& row : rows) longest = std::max(longest, row.found.date.size());
  // The dates of most bytes are the widest; a few of them are measured.
  constexpr int kMeasured = 32;
  int measured = 0;
  int date = title(kDate);
  std::set<int> slots;
  std::set<OffLine> reasons;
  for (const FoundModel::Row& row : rows) {
    if (row.found.date.size() == longest && measured < kMeasured) {
      date = std::max(date, width(FromSjis(row.found.date)));
      ++measured;
    }
    slots.insert(row.slot);
    reasons.insert(row.off);
  }
  int file = title(kFile);
  for (int k : slots) {
    if (k >= 0 && k < 10) file = std::max(file, width(FromSjis(desk_.SlotLabel(k))));
  }
  int reason = 0;
  for (OffLine off : reasons) reason = std::max(reason, width(OffLineText(off)));
  // Room for the cell's margins and the header's sort mark.
  constexpr int kPadding = 16;
  QHeaderView& header = *list_->header();
  header.resizeSection(kDate, date + kPadding);
  header.resizeSection(kFile, file + kPadding);
  // Only an event off the line has a reason.
  header.setSectionHidden(kReason, reason == 0);
  if (reason > 0) header.resizeSection(kReason, reason + kPadding);
}

void FindWindow::ChooseCurrent() {
  if (resultCount() == 0) return;
  const int row = std::max(list_->currentIndex().row(), 0);
  list_->setCurrentIndex(model_.index(row, 0));
  chosenRow_ = row;
  // Out of the way of the point it shows; Ctrl+F brings the list back.
  hide();
  Q_EMIT chosen(model_.rows()[static_cast<std::size_t>(row)]);
}

void FindWindow::MoveCurrent(int by) {
  if (resultCount() == 0) return;
  const int row = std::clamp(list_->currentIndex().row() + by, 0, resultCount() - 1);
  list_->setCurrentIndex(model_.index(row, 0));
}

std::optional<FoundModel::Row> FindWindow::Step(int direction) {
  Refresh();
  const int n = resultCount();
  if (n == 0) return std::nullopt;
  const int row =
      chosenRow_ < 0 ? (direction > 0 ? 0 : n - 1) : ((chosenRow_ + direction) % n + n) % n;
  list_->setCurrentIndex(model_.index(row, 0));
  chosenRow_ = row;
  return model_.rows()[static_cast<std::size_t>(row)];
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (watched == query_ && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)) {
    MoveCurrent(key->key() == Qt::Key_Down ? 1 : -1);
    return true;
  }
  if (watched == list_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    ChooseCurrent();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qev
