#pragma once

#include <QMainWindow>

#include <functional>
#include <utility>

#include "app/view_widget.h"
#include "panel/key_commands.h"
#include "panel/menu_bar.h"
#include "platform/screen_layout.h"

namespace qev {

// The main window: title, the menus by task (MenuBarMenus: the version
// menu, then every command with its key), and the view widget at its fixed
// size inside a scroll area, so that all of it stays reachable when the
// window is smaller than the screen it was laid out for.
class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const ScreenLayout& layout);

  ViewWidget& viewWidget() { return *view_; }
  // Asked before the window closes; false keeps it open.
  void SetCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }

 Q_SIGNALS:
  void commandRequested(KeyCommand command);
  // A menu entry of the window's own windows.
  void actionRequested(WindowAction action);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ViewWidget* view_;
  std::function<bool()> closeGuard_;
};

}  // namespace qev
