#include "app/getting_started_window.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

#include "app/screen_fit.h"
#include "panel/key_commands.h"

namespace qev {
namespace {

constexpr int kWidth = 620;
constexpr int kHeight = 560;

QString KeyTable() {
  QString rows;
  for (const KeyBinding& b : KeyBindings()) {
    rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                .arg(QString::fromUtf8(b.shortcut).toHtmlEscaped(),
                     QString::fromUtf8(b.label).toHtmlEscaped());
  }
  return QStringLiteral("<table cellspacing=0 cellpadding=2>") + rows + QStringLiteral("</table>");
}

QString PageHtml() {
  return QStringLiteral(
             "<h2>はじめに: QEVラインで年代を覚える</h2>"
             "<h3>1. QEVライン</h3>"
             "<p>上の折れ線が時の流れです。縦の線が紀元0年で、左が紀元前、右が紀元後。"
             "100年ごとに一区間、折れ線の形で年代の見当がつきます。"
             "線の上の印の一つ一つが、できごと(QEVポイント)です。</p>"
             "<p>ラインの中を<b>左クリック</b>すると前の、<b>右クリック</"
             "b>すると次のできごとが選ばれ、"
             "下の二つの欄に年、重要度・記憶度、時代、できごととメモが出ます。"
             "「レンジ=」で拡大・縮小、下のスクロールバーで前後へ動きます。"
             "重要度・記憶度の①〜⑤で、出すできごとを絞れます。</p>"
             "<h3>2. 確認テスト (T)</h3>"
             "<p>「学習」→「確認テスト」か T キーで、できごとを一つずつ出題します。"
             "年は画面から隠れるので、年を打って Enter。すぐ思い出せたら「簡単」(E)。"
             "答えから記憶の定着を見積もり、忘れかけたころに復習として出します。"
             "復習のあとに、まだ答えたことのないものを重要度の高い順に、1日の新規の数（はじめは20件"
             "）まで。"
             "間違えたものは同じ回の最後にもう一度出ます。記憶度①〜⑤は記憶の定着"
             "(①1日未満〜⑤21日以上)を表します。終わったら「結果を保存」。"
             "答えはデータフォルダの「学習記録.csv」に残ります。</p>"
             "<h3>3. 学習の記録</h3>"
             "<p>「学習」→「学習の記録」で、表示中のファイルとフィルタのできごとについて、"
             "記憶度ごとの数、今日と今後30日に復習するもの、最近30日の正解・不正解を見られます。"
             "「記憶モデルを最適化」で、見積もりをあなたの学習記録に合わせます。</"
             "p>"
             "<h3>4. 探す・加える・直す</h3>"
             "<p><b>Ctrl+F</b> で検索(できごと・時代・メモ・年)、F3 / Shift+F3 で次・前の結果。"
             "<b>Ctrl+G</b> で年へ移動。<b>Ctrl+N</b> でできごとを追加、<b>Ctrl+E</b> で編集、"
             "<b>Delete</b> で削除、<b>Ctrl+Z</b> で元に戻す。"
             "変えたファイルは <b>Ctrl+S</b> で読み込んだファイルに保存します"
             "(閉じるときにも一度だけ尋ねます)。</p>"
             "<h3>5. キー</h3>"
             "<p>タイムラインをクリックすると(中ボタンや線の左右の余白でも、選択は変わりません)"
             "キーがタイムラインに向きます。"
             "検索・追加・保存など自分のキーを持つコマンドは、下の欄にいても働きます。</p>") +
         KeyTable() +
         QStringLiteral(
             "<p>画面の各部の説明は F1(「暗記法の機能説明」)で。"
             "このページは「学習」→「はじめに」でいつでも開けます。</p>");
}

}  // namespace

GettingStartedWindow::GettingStartedWindow(QWidget* mainWindow, QSize screen)
    : QDialog(mainWindow), screen_(screen) {
  setWindowTitle(QStringLiteral("はじめに"));
  page_ = new QTextBrowser(this);
  page_->setHtml(PageHtml());
  page_->setOpenLinks(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(page_, 1);
  layout->addWidget(buttons);
}

void GettingStartedWindow::Open() {
  if (!isVisible()) FitOnScreen(*this, QSize(kWidth, kHeight), screen_);
  page_->verticalScrollBar()->setValue(0);
  show();
  raise();
  activateWindow();
}

QString GettingStartedWindow::pageText() const {
  return page_->toPlainText();
}

}  // namespace qev
