#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "lists/table_import.h"
#include "lists/table_text.h"
#include "text/cp932.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace qev {

// 表から読み込む: the first rows of a table, a choice of role over each
// column (starting from the guesses), whether the first row names the
// columns, every row that cannot become an event with its number and
// reason, and the new file's name and title. Nothing is written before
// "読み込む"; the dialog stays open while the file cannot be written.
class TableImportDialog final : public QDialog {
  Q_OBJECT
 public:
  // Writes the lines into a new file `name` titled `title`: why it could
  // not (UTF-8), or empty when it did.
  using Writer = std::function<std::string(const std::string& name, const std::string& title,
                                           const std::vector<Sjis>& lines)>;

  TableImportDialog(const QString& fileName, TableText table, Writer writer, QWidget* parent);

  const ImportedEvents& imported() const { return imported_; }
  // The role chosen for column c, as the learner sees it.
  QComboBox* roleBox(std::size_t c) const { return roles_[c]; }
  QCheckBox* headerBox() const { return header_; }
  QListWidget* refusedList() const { return refused_; }
  QLineEdit* nameEdit() const { return name_; }
  QLineEdit* titleEdit() const { return title_; }

  void accept() override;

 private:
  // Reads the rows again as the choices now stand.
  void Update();

  TableText table_;
  Writer writer_;
  ColumnChoice choice_;
  ImportedEvents imported_;
  QTableWidget* preview_ = nullptr;
  std::vector<QComboBox*> roles_;
  QCheckBox* header_ = nullptr;
  QLabel* summary_ = nullptr;
  QListWidget* refused_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* title_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace qev
