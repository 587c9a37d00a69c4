#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/qt_canvas.h"
#include "app/view_widget.h"
#include "platform/platform.h"

namespace qev {

// The platform on Qt widgets: the view's back buffer, the two panels and the
// scroll bar of the view widget, and Qt's own dialogs, menus and message
// boxes.
//
// Every modal dialog, message box and popup menu, when it closes, uncovers
// the view; the window then repaints the view once its current handler has
// returned (TakeUncovered).
//
// Tests can answer the next dialogs, menus and message boxes in advance: a
// non-empty queue is consumed instead of opening the widget, and what would
// have been shown is recorded.
class QtPlatform final : public Platform {
 public:
  QtPlatform(ViewWidget& view, QWidget* dialogParent);

  Canvas& ViewCanvas() override { return viewCanvas_; }
  Canvas& DrawAreaCanvas() override { return drawAreaCanvas_; }

  void SetPanelText(InfoPanel panel, const Sjis& text) override;
  Cp932Encoding PanelText(InfoPanel panel) override;

  void SetScrollThumb(int position) override;
  int ScrollThumb() override { return thumb_; }
  // Puts the bar's thumb back where the view last set it, after the bar
  // moved it on its own.
  void ShowThumb();

  LocalTime Now() override;
  std::int64_t SteadyMilliseconds() override { return clock_.elapsed(); }

  std::optional<std::string> FileDialog(FileDialogKind kind,
                                        const std::string& initialPath) override;
  MenuCommand PopupMenu(const std::vector<MenuItem>& items, int x, int y) override;
  using Platform::ShowMessage;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  SaveAnswer AskToSave(const std::string& text) override;
  // Answered from messageAnswers too: kSave saves anyway.
  bool AskToSaveAnyway(const std::string& text) override;
  ChangedFileAnswer AskChangedFile(const std::string& text) override;
  std::optional<NewFileAnswer> AskNewFile(const NewFileAnswer& typed) override;

  // Records that a modal window closed over the view.
  void NoteUncovered() { uncovered_ = true; }
  // Whether the view was uncovered since the last call.
  bool TakeUncovered() { return std::exchange(uncovered_, false); }

  // With nobody at the screen (writing a screenshot), messages go to the
  // standard error instead of a message box that would wait for ever.
  void SetUnattended(bool unattended) { unattended_ = unattended; }

  // Answers given in advance, consumed in order.
  std::deque<std::optional<std::string>> dialogAnswers;
  std::deque<MenuCommand> menuAnswers;
  // A message box's answer; ShowMessage (only an OK button) consumes one
  // and ignores its value.
  std::deque<SaveAnswer> messageAnswers;
  std::deque<std::optional<NewFileAnswer>> newFileAnswers;
  std::deque<ChangedFileAnswer> changedFileAnswers;  // recorded in messageRequests

  // What the answered requests would have shown.
  struct DialogRequest {
    FileDialogKind kind;
    QString folder;
    QString fileName;
  };
  struct MenuRequest {
    std::vector<MenuItem> items;
    QPoint globalPosition;
  };
  std::vector<DialogRequest> dialogRequests;
  std::vector<MenuRequest> menuRequests;
  std::vector<std::string> messageRequests;

 private:
  PanelEdit& Panel(InfoPanel panel);

  ViewWidget& view_;
  QWidget* dialogParent_;
  QtCanvas viewCanvas_;
  QtCanvas drawAreaCanvas_;
  QElapsedTimer clock_;
  int thumb_ = 0;
  // The folder the file dialog last opened in, or the one of the file last
  // chosen in it: where a later dialog for a bare file name opens.
  QString lastFolder_;
  bool unattended_ = false;
  bool uncovered_ = false;
};

}  // namespace qev
