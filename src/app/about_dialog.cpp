#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QVBoxLayout>

namespace qev {

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(QColor(152, 152, 152));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    p.fillRect(QRectF(2 * s, 2 * s, 28 * s, 28 * s), QColor(216, 216, 216));
    p.setPen(QPen(QColor(0, 0, 160), 2.5 * s));
    const QPolygonF zigzag{
        {3 * s, 24 * s}, {10 * s, 16 * s}, {16 * s, 16 * s}, {23 * s, 8 * s}, {29 * s, 8 * s}};
    p.drawPolyline(zigzag);
    p.setPen(QPen(QColor(192, 0, 0), 1.5 * s));
    p.drawLine(QPointF(13 * s, 4 * s), QPointF(13 * s, 28 * s));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QPointF(23 * s, 8 * s), 3 * s, 3 * s);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(
      QStringLiteral("          [ Q E V ライン式 歴史のできごと 記憶法 ] のﾊﾞｰｼﾞｮﾝ情報"));
  setModal(true);

  auto* iconLabel = new QLabel(this);
  iconLabel->setPixmap(ProgramIcon().pixmap(32, 32));
  iconLabel->setAlignment(Qt::AlignTop);
  auto* textLabel =
      new QLabel(QStringLiteral("[ Q E V ライン式 歴史のできごと 記憶法 ] Version 2.00"), this);
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
