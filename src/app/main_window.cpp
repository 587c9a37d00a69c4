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

  QMenu* commands = menuBar()->addMenu(QStringLiteral("操作"));
  for (const KeyBinding& b : KeyBindings()) {
    // The key is shown as the item's shortcut; the view area takes the key
    // itself, so it does not act while a panel is being typed in.
    const QString text = QString::fromUtf8(b.label) + u'\t' + QString::fromUtf8(b.shortcut);
    commands->addAction(text, this, [this, c = b.command] { Q_EMIT commandRequested(c); });
  }
  commands->addSeparator();
  commands->addAction(QStringLiteral("QEVライン全体を印刷 (PDF/PNG)..."), this,
                      &MainWindow::exportRequested);
  commands->addAction(QStringLiteral("学習の記録"), this, &MainWindow::studyRecordRequested);
  commands->addSeparator();
  commands->addAction(QStringLiteral("表から読み込む…"), this, &MainWindow::tableImportRequested);
  commands->addAction(QStringLiteral("表に書き出す…"), this, &MainWindow::tableExportRequested);

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
