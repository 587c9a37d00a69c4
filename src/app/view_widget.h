#pragma once

#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextEdit>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

#include "app/qt_canvas.h"
#include "panel/key_commands.h"
#include "platform/screen_layout.h"

namespace qev {

// The timeline's horizontal scroll bar. A wheel turn over it is reported as
// whole wheel steps instead of moving the thumb, so that every step goes
// through the view like a click on an arrow.
class TimelineScrollBar final : public QScrollBar {
  Q_OBJECT
 public:
  explicit TimelineScrollBar(QWidget* parent);

 Q_SIGNALS:
  // Positive steps to the right, negative to the left.
  void wheelStepped(int steps);

 protected:
  void wheelEvent(QWheelEvent* event) override;

 private:
  int pendingDelta_ = 0;
};

// An information panel: white, black text, the text right against the top
// and bottom edges, and its lines as many pixels apart as the font's pixel
// size, as in the form's edit controls: three lines fill the panel of an
// 800x600 screen. (A plain-text edit spaces lines by the font's own line
// height, a pixel more for the substitute face.)
class PanelEdit final : public QTextEdit {
 public:
  PanelEdit(const QFont& font, QWidget* parent);

  // Replaces the text, with nothing left to undo.
  void ShowText(const QString& text);

 protected:
  // Pasted and dropped text is taken as plain text into the current line's
  // format, so its lines keep the spacing.
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void KeepLineHeight();

  QTextBlockFormat lineFormat_;
};

// The view's client area: W x H pixels showing the back buffer, with the
// scroll bar and the two information panels as child controls placed by the
// layout. Pointer input on the area itself is reported in view coordinates.
// The wheel is not the view's: it goes on to the window's scroll area.
class ViewWidget final : public QWidget {
  Q_OBJECT
 public:
  explicit ViewWidget(const ScreenLayout& layout, QWidget* parent = nullptr);

  const ScreenLayout& layout() const { return layout_; }
  BackBuffer& backBuffer() { return buffer_; }
  TimelineScrollBar& scrollBar() { return *scrollBar_; }
  PanelEdit& leftPanel() { return *leftPanel_; }
  PanelEdit& rightPanel() { return *rightPanel_; }

  // The area with its child controls, at exactly W x H pixels.
  QImage Grab();

  // Whether the right panel holds text being typed (the keys that type or
  // undo stay with it then).
  void SetTypingSource(std::function<bool()> source) { typingSource_ = std::move(source); }

  // What the tooltip at a view position says; an empty text shows none.
  void SetTipSource(std::function<QString(int x, int y)> source) { tipSource_ = std::move(source); }

 Q_SIGNALS:
  void leftPressed(int x, int y);
  void leftReleased(int x, int y);
  void rightReleased(int x, int y);
  void leftDoubleClicked(int x, int y);
  void rightDoubleClicked(int x, int y);
  // A key of the timeline while the area itself has the focus; from a
  // panel, Esc and the commands with keys of their own (ActsFromPanel).
  void keyCommand(KeyCommand command);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  // Keys pressed in a panel, before the panel takes them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<QString(int x, int y)> tipSource_;
  std::function<bool()> typingSource_;
  ScreenLayout layout_;
  BackBuffer buffer_;
  TimelineScrollBar* scrollBar_;
  PanelEdit* leftPanel_;
  PanelEdit* rightPanel_;
};

// The timeline's key for a Qt key, if it is one.
std::optional<Key> KeyFor(int qtKey);
// The command of a key press, if it has one.
std::optional<KeyCommand> CommandFor(const QKeyEvent& event);

// The font of the form's controls at the largest pixel height up to 12 at
// which three lines, one pixel height apart, fit into `panelHeight`.
QFont PanelFont(int panelHeight);

}  // namespace qev
