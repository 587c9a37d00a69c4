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

  QMenu* menu = menuBar()->addMenu(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  menu->addAction(QStringLiteral("[ Q E V ライン式 歴史のできごと 記憶法 ] のﾊﾞｰｼﾞｮﾝ情報"), this,
                  &MainWindow::aboutRequested);

  auto* scrollArea = new QScrollArea;
  scrollArea->setFrameShape(QFrame::NoFrame);
  scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrollArea->setWidgetResizable(false);
  QPalette palette = scrollArea->palette();
  palette.setColor(QPalette::Window, QColor(152, 152, 152));
  scrollArea->setPalette(palette);
  scrollArea->setBackgroundRole(QPalette::Window);
  scrollArea->setWidget(view_);
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
