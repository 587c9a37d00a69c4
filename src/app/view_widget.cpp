#include "app/view_widget.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
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
  // Tab moves on to the next control: a tab is never part of a field.
  setTabChangesFocus(true);
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
  // The keys act while the timeline has the focus; Tab goes on to the
  // panels and back.
  setFocusPolicy(Qt::StrongFocus);
  // A point's tooltip shows while a find window or dialog is active too.
  setAttribute(Qt::WA_AlwaysShowToolTips);

  scrollBar_ = new TimelineScrollBar(this);
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  scrollBar_->setGeometry(layout.drawAreaX(), layout.scrollBarY(), layout.drawAreaWidth(),
                          layout.scrollBarHeight());
  const QFont panelFont = PanelFont(layout.panelHeight());
  leftPanel_ = new PanelEdit(panelFont, this);
  leftPanel_->setGeometry(layout.leftPanelX(), layout.panelY(), layout.panelWidth(),
                          layout.panelHeight());
  // Nothing typed into the left panel is ever used; its text can still be
  // selected and copied.
  leftPanel_->setReadOnly(true);
  leftPanel_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  rightPanel_ = new PanelEdit(panelFont, this);
  rightPanel_->setGeometry(layout.rightPanelX(), layout.panelY(), layout.panelWidth(),
                           layout.panelHeight());
  leftPanel_->installEventFilter(this);
  rightPanel_->installEventFilter(this);
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
  // Any button gives the timeline the keyboard; a middle click, or a click
  // in the strips beside the line, does nothing else.
  setFocus(Qt::MouseFocusReason);
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

void ViewWidget::keyPressEvent(QKeyEvent* event) {
  // Keys a panel leaves come here too; they are not the timeline's.
  if (const std::optional<KeyCommand> command = CommandFor(*event); command && hasFocus()) {
    event->accept();
    Q_EMIT keyCommand(*command);
    return;
  }
  QWidget::keyPressEvent(event);
}

bool ViewWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const std::optional<KeyCommand> command = CommandFor(*static_cast<QKeyEvent*>(event));
  const bool typing = watched == rightPanel_ && typingSource_ && typingSource_();
  if (!command || !ActsFromPanel(*command, typing)) return false;
  Q_EMIT keyCommand(*command);
  return true;
}

bool ViewWidget::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = tipSource_ ? tipSource_(help->pos().x(), help->pos().y()) : QString();
  if (tip.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(help->globalPos(), tip, this);
  }
  return true;
}

std::optional<KeyCommand> CommandFor(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers();
  const std::optional<Key> key = KeyFor(event.key());
  if (!key || (mods & (Qt::AltModifier | Qt::MetaModifier))) return std::nullopt;
  return CommandForKey(*key, mods & Qt::ControlModifier, mods & Qt::ShiftModifier);
}

std::optional<Key> KeyFor(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left:
      return Key::kLeft;
    case Qt::Key_Right:
      return Key::kRight;
    case Qt::Key_Home:
      return Key::kHome;
    case Qt::Key_End:
      return Key::kEnd;
    case Qt::Key_R:
      return Key::kR;
    case Qt::Key_Plus:
      return Key::kPlus;
    case Qt::Key_Minus:
      return Key::kMinus;
    case Qt::Key_PageUp:
      return Key::kPageUp;
    case Qt::Key_PageDown:
      return Key::kPageDown;
    case Qt::Key_Space:
      return Key::kSpace;
    case Qt::Key_F1:
      return Key::kF1;
    case Qt::Key_Escape:
      return Key::kEscape;
    case Qt::Key_S:
      return Key::kS;
    case Qt::Key_Z:
      return Key::kZ;
    case Qt::Key_F:
      return Key::kF;
    case Qt::Key_F3:
      return Key::kF3;
    case Qt::Key_G:
      return Key::kG;
    case Qt::Key_N:
      return Key::kN;
    case Qt::Key_E:
      return Key::kE;
    case Qt::Key_Delete:
      return Key::kDelete;
    case Qt::Key_T:
      return Key::kT;
    default:
      return std::nullopt;
  }
}

}  // namespace qev
