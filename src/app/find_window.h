#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "events/event_search.h"
#include "timeline/found_events.h"
#include "view/event_desk.h"

class QLabel;
class QLineEdit;
class QTreeView;

namespace qev {

// The results of a search: date, event, file and, for an event that is no
// point of the line, why not (greyed).
class FoundModel final : public QAbstractTableModel {
 public:
  struct Row {
    FoundEvent found;
    EventId key;
    int slot = 0;
    OffLine off = OffLine::kOnLine;
  };

  void SetRows(std::vector<Row> rows, std::vector<QString> slotLabels);
  const std::vector<Row>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<Row> rows_;
  std::vector<QString> slotLabels_;
};

// 検索: a query field over the list of every event of the loaded slots
// whose texts or dates match, updated as the query is typed. Enter (on the
// highlighted result, the first one unless the arrow keys moved on) or a
// double click chooses a result, and the window steps aside for the line;
// F3 / Shift+F3 step through the results.
class FindWindow final : public QDialog {
  Q_OBJECT
 public:
  FindWindow(EventDesk& desk, QWidget* parent);

  // Shows the window with its query selected for typing over.
  void Open();
  // Runs the search again if the events changed since it last ran.
  void Refresh();
  // The result after (+1) or before (-1) the one chosen last, going round;
  // nothing without results.
  std::optional<FoundModel::Row> Step(int direction);
  int resultCount() const { return static_cast<int>(model_.rows().size()); }
  // The results as listed, for looking at their columns.
  const QTreeView& list() const { return *list_; }

 Q_SIGNALS:
  void chosen(const FoundModel::Row& row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Search();
  // The date, file and reason columns as wide as their texts among the
  // results; the event text takes the rest.
  void FitColumns();
  void ChooseCurrent();
  void MoveCurrent(int by);

  EventDesk& desk_;
  QLineEdit* query_;
  QTreeView* list_;
  QLabel* status_;
  FoundModel model_;
  EventSearch search_;
  std::vector<DeskEvent> events_;
  std::vector<std::string_view> lines_;
  std::optional<std::uint64_t> indexedVersion_;
  // The result chosen last, -1 before one of the current results was.
  int chosenRow_ = -1;
};

}  // namespace qev
