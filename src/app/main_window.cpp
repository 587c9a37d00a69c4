#include "app/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPalette>
#include <QScrollArea>

#include "app/about_dialog.h"

namespace qev {

MainWindow::MainWindow(const ScreenLayout& layout) : view_(new ViewWidget(layout)) {
  setWindowTitle(QStringLiteral(" [ Q E V ライン式 歴史年代 暗記法 V2.00 ] "));
  setWindowIcon(ProgramIcon());

  for (const MenuTable& table : MenuBarMenus()) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(table.title));
    for (const MenuEntry& e : table.entries) {
      switch (e.action) {
        case WindowAction::kSeparator:
          menu->addSeparator();
          break;
        case WindowAction::kCommand: {
          // The key is shown beside the entry; the view widget takes the
          // key itself (ViewWidget::keyCommand).
          const KeyBinding& b = BindingOf(e.command);
          menu->addAction(QString::fromUtf8(b.label) + u'\t' + QString::fromUtf8(b.shortcut), this,
                          [this, c = e.command] { Q_EMIT commandRequested(c); });
          break;
        }
        default:
          menu->addAction(QString::fromUtf8(e.label), this,
                          [this, a = e.action] { Q_EMIT actionRequested(a); });
          break;
      }
    }
  }

  auto* scrollArea = new QScrollArea;
  scrollArea->setFrameShape(QFrame::NoFrame);
  scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrollArea->setWidgetResizable(false);
  QPalette palette = scrollArea->palette();
  palette.setColor(QPalette::Window, QColor(152, 152, 152));
  scrollArea->setPalette(palette);
  scrollArea->setBackgroundRole(QPalette::Window);
  scrollArea->setWidget(view_);
  scrollArea->setFocusPolicy(Qt::NoFocus);
  setCentralWidget(scrollArea);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeGuard_ && !closeGuard_()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace qev
