#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace qev {

QIcon ProgramIcon() {
  // The installed icon's own pictures; Qt scales the nearer one.
  QIcon icon;
  for (int size : {48, 256}) icon.addFile(QStringLiteral(":/icons/qevline-%1.png").arg(size));
  return icon;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(
      QStringLiteral("          [ Q E V ライン式 歴史のできごと 記憶法 ] のﾊﾞｰｼﾞｮﾝ情報"));
  setModal(true);

  auto* iconLabel = new QLabel(this);
  iconLabel->setPixmap(ProgramIcon().pixmap(32, 32));
  iconLabel->setAlignment(Qt::AlignTop);
  auto* textLabel = new QLabel(
      QStringLiteral("[ Q E V ライン式 歴史のできごと 記憶法 ] Version " QEV_VERSION), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(iconLabel);
  row->addSpacing(12);
  row->addWidget(textLabel, 1);
  row->addWidget(buttons, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace qev
