#include "app/view_widget.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace qev {
namespace {

constexpr int kScrollMax = 700;
constexpr int kPageStep = 10;
constexpr int kWheelNotch = 120;
constexpr int kPanelSideMargin = 2;
constexpr int kPanelLines = 3;
constexpr int kPanelFontPixels = 12;

}  // namespace

PanelEdit::PanelEdit(const QFont& font, QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(false);
  setFont(font);
  lineFormat_.setLineHeight(font.pixelSize(), QTextBlockFormat::FixedHeight);
  KeepLineHeight();
  setFrameShape(QFrame::NoFrame);
  document()->setDocumentMargin(0);
  setViewportMargins(kPanelSideMargin, 0, kPanelSideMargin, 0);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
}

void PanelEdit::ShowText(const QString& text) {
  setPlainText(text);
  KeepLineHeight();
  document()->clearUndoRedoStacks();
}

void PanelEdit::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  QTextCursor cursor = textCursor();
  cursor.insertText(source->text());
  setTextCursor(cursor);
}

void PanelEdit::KeepLineHeight() {
  QTextCursor all(document());
  all.select(QTextCursor::Document);
  all.mergeBlockFormat(lineFormat_);
}

QFont PanelFont(int panelHeight) {
  QFont font;
  font.setFamilies(FontFamiliesFor("ＭＳ Ｐゴシック"));
  // Only screens smaller than 800x600 need a smaller height.
  font.setPixelSize(std::clamp(panelHeight / kPanelLines, 6, kPanelFontPixels));
  return font;
}

TimelineScrollBar::TimelineScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setRange(0, kScrollMax);
  setPageStep(kPageStep);
  setSingleStep(1);
  // Its menu would move the thumb without telling the view.
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void TimelineScrollBar::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  int delta = std::abs(angle.y()) >= std::abs(angle.x()) ? angle.y() : angle.x();
  if (event->inverted()) delta = -delta;
  pendingDelta_ += delta;
  // Turning the wheel towards the user steps the thumb to the right, as
  // Qt's own bars do.
  const int steps = -pendingDelta_ / kWheelNotch;
  pendingDelta_ %= kWheelNotch;
  event->accept();
  if (steps != 0) Q_EMIT wheelStepped(steps);
}

ViewWidget::ViewWidget(const ScreenLayout& layout, QWidget* parent)
    : QWidget(parent),
      layout_(layout),
      buffer_(layout.W, layout.H, qGuiApp->devicePixelRatio(), [this] { update(); }) {
  setFixedSize(layout.W, layout.H);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The context menus come from the view after a right-button release, not
  // from the window system's context-menu event.
  setContextMenuPolicy(Qt::PreventContextMenu);

  scrollBar_ = new TimelineScrollBar(this);
  scrollBar_->setGeometry(layout.drawAreaX(), layout.scrollBarY(), layout.drawAreaWidth(),
                          layout.scrollBarHeight());
  const QFont panelFont = PanelFont(layout.panelHeight());
  leftPanel_ = new PanelEdit(panelFont, this);
  leftPanel_->setGeometry(layout.leftPanelX(), layout.panelY(), layout.panelWidth(),
                          layout.panelHeight());
  rightPanel_ = new PanelEdit(panelFont, this);
  rightPanel_->setGeometry(layout.rightPanelX(), layout.panelY(), layout.panelWidth(),
                           layout.panelHeight());
}

QImage ViewWidget::Grab() {
  QImage image(layout_.W, layout_.H, QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  render(&image);
  return image;
}

void ViewWidget::paintEvent(QPaintEvent* event) {
  const QImage& image = buffer_.image();
  const qreal ratio = image.devicePixelRatio();
  QPainter painter(this);
  for (const QRect& r : event->region()) {
    painter.drawImage(r, image,
                      QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
  }
}

void ViewWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) Q_EMIT leftPressed(p.x(), p.y());
  event->accept();
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) Q_EMIT leftReleased(p.x(), p.y());
  if (event->button() == Qt::RightButton) Q_EMIT rightReleased(p.x(), p.y());
  event->accept();
}

void ViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) Q_EMIT leftDoubleClicked(p.x(), p.y());
  if (event->button() == Qt::RightButton) Q_EMIT rightDoubleClicked(p.x(), p.y());
  event->accept();
}

}  // namespace qev
