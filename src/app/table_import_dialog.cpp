#include "app/table_import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qev {
namespace {

constexpr int kPreviewRows = 30;

QString EncodingName(TableEncoding encoding) {
  switch (encoding) {
    case TableEncoding::kUtf8:
      return QStringLiteral("UTF-8");
    case TableEncoding::kUtf8WithBom:
      return QStringLiteral("UTF-8 (BOM付き)");
    case TableEncoding::kCp932:
      return QStringLiteral("Shift-JIS");
  }
  return {};
}

}  // namespace

TableImportDialog::TableImportDialog(const QString& fileName, TableText table, Writer writer,
                                     QWidget* parent)
    : QDialog(parent), table_(std::move(table)), writer_(std::move(writer)) {
  setWindowTitle(QStringLiteral("表から読み込む"));
  choice_ = GuessColumns(table_);
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(
      new QLabel(QStringLiteral("「%1」: %2、%3、%4 行。各列が何かを選んでください。")
                     .arg(QFileInfo(fileName).fileName(), EncodingName(table_.encoding),
                          table_.separator == '\t' ? QStringLiteral("タブ区切り")
                                                   : QStringLiteral("カンマ区切り"))
                     .arg(table_.rows.size())));

  const int columns = static_cast<int>(choice_.roles.size());
  const int shown = std::min(kPreviewRows, static_cast<int>(table_.rows.size()));
  preview_ = new QTableWidget(shown + 1, columns);
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->horizontalHeader()->setVisible(false);
  QStringList rowNames{QStringLiteral("列")};
  for (int r = 0; r < shown; ++r) {
    const TableText::Row& row = table_.rows[static_cast<std::size_t>(r)];
    rowNames << QString::number(row.number);
    for (int c = 0; c < columns && c < static_cast<int>(row.cells.size()); ++c) {
      preview_->setItem(
          r + 1, c,
          new QTableWidgetItem(
              QString::fromStdString(row.cells[static_cast<std::size_t>(c)]).replace(u'\n', u'⏎')));
    }
  }
  preview_->setVerticalHeaderLabels(rowNames);
  for (int c = 0; c < columns; ++c) {
    auto* box = new QComboBox;
    for (const RoleName& role : ColumnRoles()) {
      box->addItem(QString::fromUtf8(role.name), static_cast<int>(role.role));
    }
    box->setCurrentIndex(
        box->findData(static_cast<int>(choice_.roles[static_cast<std::size_t>(c)])));
    connect(box, &QComboBox::currentIndexChanged, this, [this, c, box] {
      choice_.roles[static_cast<std::size_t>(c)] =
          static_cast<ColumnRole>(box->currentData().toInt());
      Update();
    });
    preview_->setCellWidget(0, c, box);
    roles_.push_back(box);
  }
  preview_->resizeColumnsToContents();
  for (int c = 0; c < columns; ++c) {
    preview_->setColumnWidth(c, std::clamp(preview_->columnWidth(c), 110, 260));
  }
  layout->addWidget(preview_, 3);

  header_ = new QCheckBox(QStringLiteral("1行目は見出し (列の名前) で、できごとではない"));
  header_->setChecked(choice_.header);
  connect(header_, &QCheckBox::toggled, this, [this](bool on) {
    choice_.header = on;
    Update();
  });
  layout->addWidget(header_);

  summary_ = new QLabel;
  layout->addWidget(summary_);
  refused_ = new QListWidget;
  layout->addWidget(refused_, 1);

  auto* form = new QFormLayout;
  const QString stem = QFileInfo(fileName).completeBaseName();
  title_ = new QLineEdit(stem);
  name_ = new QLineEdit(stem);
  form->addRow(QStringLiteral("タイトル"), title_);
  form->addRow(QStringLiteral("新しいファイルの名前 (.txt)"), name_);
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("やめる"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(900, 620);
  Update();
}

void TableImportDialog::Update() {
  imported_ = ImportRows(table_, choice_);
  refused_->clear();
  for (const RefusedRow& row : imported_.refused) {
    refused_->addItem(
        QStringLiteral("%1 行目: %2").arg(row.row).arg(QString::fromStdString(row.reason)));
  }
  summary_->setText(imported_.refused.empty()
                        ? QStringLiteral("すべての行をできごとにします。")
                        : QStringLiteral("次の %1 行はできごとにできないため、読み込みません:")
                              .arg(imported_.refused.size()));
  ok_->setText(QStringLiteral("%1 件を読み込む").arg(imported_.lines.size()));
  ok_->setEnabled(!imported_.lines.empty());
  // The header row is shown as names, not as an event.
  if (preview_->rowCount() > 1) {
    for (int c = 0; c < preview_->columnCount(); ++c) {
      if (QTableWidgetItem* item = preview_->item(1, c)) {
        QFont font = item->font();
        font.setItalic(choice_.header);
        item->setFont(font);
        item->setForeground(choice_.header ? palette().placeholderText() : palette().text());
      }
    }
  }
}

void TableImportDialog::accept() {
  const std::string problem =
      writer_(name_->text().toStdString(), title_->text().toStdString(), imported_.lines);
  if (!problem.empty()) {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(problem));
    name_->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace qev
