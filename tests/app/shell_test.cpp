#include <QClipboard>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/application.h"
#include "app/screen_fit.h"
#include "text/cp932.h"

using namespace qev::literals;

namespace qev {
namespace {

// Records what the window tells the view. Scrolling behaves like the
// program's view: it starts from the thumb and puts the thumb where it ends.
class RecordingView final : public ViewHandlers {
 public:
  explicit RecordingView(Platform& platform) : platform_(platform) {}

  std::vector<std::string> calls;
  std::function<void(int x, int y)> onContextMenu;
  bool movesThumb = true;
  bool allowClose = true;
  bool typing = false;

  void OnInitialUpdate() override {
    Record("OnInitialUpdate");
    platform_.SetScrollThumb(346);
  }
  void OnPaint() override { Record("OnPaint"); }
  void OnLButtonUp(int x, int y) override { Record("OnLButtonUp", x, y); }
  void OnRButtonUp(int x, int y) override { Record("OnRButtonUp", x, y); }
  void OnLButtonDown(int x, int y) override { Record("OnLButtonDown", x, y); }
  void OnLButtonDblClk(int x, int y) override { Record("OnLButtonDblClk", x, y); }
  void OnRButtonDblClk(int x, int y) override { Record("OnRButtonDblClk", x, y); }
  void ShowContextMenu(int x, int y) override {
    Record("ShowContextMenu", x, y);
    if (onContextMenu) onContextMenu(x, y);
  }
  void ScrollTimeline(ScrollCode code, int thumbPos) override {
    const int from = platform_.ScrollThumb();
    Record("ScrollTimeline", static_cast<int>(code), from);
    const int to = NextScrollPos(code, from, thumbPos).pos;
    if (movesThumb) platform_.SetScrollThumb(std::clamp(to, 0, 700));
  }
  void OnClockTick() override { Record("OnClockTick"); }
  bool QueryClose() override {
    Record("QueryClose");
    return allowClose;
  }
  void OnKeyCommand(KeyCommand command) override {
    Record("OnKeyCommand", static_cast<int>(command), 0);
  }
  SheetSource WholeTimeline() override { return {}; }
  bool RightPanelTyping() const override { return typing; }

  int Count(const std::string& name) const {
    return static_cast<int>(std::count_if(
        calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(name, 0) == 0; }));
  }

 private:
  void Record(const char* name) { calls.emplace_back(name); }
  void Record(const char* name, int a, int b) {
    calls.push_back(std::string(name) + " " + std::to_string(a) + " " + std::to_string(b));
  }

  Platform& platform_;
};

std::string Scroll(ScrollCode code, int from) {
  return "ScrollTimeline " + std::to_string(static_cast<int>(code)) + " " + std::to_string(from);
}

QColor At(const QImage& image, int x, int y) {
  return image.pixelColor(x, y);
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    QVERIFY(dataDir_.isValid());
    app_ = std::make_unique<Application>(
        ScreenLayout{800, 600}, dataDir_.path().toStdString(),
        [this](Platform& platform, const ScreenLayout&, const std::string&) {
          auto view = std::make_unique<RecordingView>(platform);
          view_ = view.get();
          return view;
        });
    app_->Start();
    QTRY_VERIFY(app_->firstPaintDone());
    view_->calls.clear();
  }

  void cleanup() {
    view_ = nullptr;
    app_.reset();
  }

  // On the timeline every key runs its command. In a panel, Esc and the
  // commands with keys of their own do, but for the keys the right panel
  // needs while text is typed there; the keys that stand for clicks on the
  // line stay the panel's.
  void KeysRunTheirCommandsWhereverTheFocusIs() {
    struct Row {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      KeyCommand command;
      bool fromPanel;
      bool whileTyping;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Row rows[] = {
        {Qt::Key_F, ctrl, KeyCommand::kFind, true, true},
        {Qt::Key_F3, none, KeyCommand::kFindNext, true, true},
        {Qt::Key_F3, shift, KeyCommand::kFindPrevious, true, true},
        {Qt::Key_G, ctrl, KeyCommand::kGoToYear, true, true},
        {Qt::Key_N, ctrl, KeyCommand::kAddEvent, true, true},
        {Qt::Key_E, ctrl, KeyCommand::kEditEvent, true, true},
        {Qt::Key_S, ctrl, KeyCommand::kSaveChanged, true, true},
        {Qt::Key_Escape, none, KeyCommand::kCancelEdit, true, true},
        {Qt::Key_R, shift, KeyCommand::kRandomOnLine, true, false},
        {Qt::Key_Z, ctrl, KeyCommand::kUndo, true, false},
        {Qt::Key_Z, ctrl | shift, KeyCommand::kRedo, true, false},
        {Qt::Key_T, none, KeyCommand::kSelfTest, true, false},
        {Qt::Key_Delete, none, KeyCommand::kDeleteEvent, true, false},
        {Qt::Key_Right, none, KeyCommand::kNextPoint, false, false},
        {Qt::Key_F1, none, KeyCommand::kHelp, false, false},
        {Qt::Key_R, none, KeyCommand::kRandomPoint, false, false},
    };
    ViewWidget& widget = app_->viewWidget();
    QSignalSpy spy(&widget, &ViewWidget::keyCommand);
    enum class Focus { kTimeline, kLeftPanel, kRightPanel, kTyping };
    for (Focus focus : {Focus::kTimeline, Focus::kLeftPanel, Focus::kRightPanel, Focus::kTyping}) {
      view_->typing = focus == Focus::kTyping;
      QWidget* target = focus == Focus::kTimeline    ? static_cast<QWidget*>(&widget)
                        : focus == Focus::kLeftPanel ? &widget.leftPanel()
                                                     : &widget.rightPanel();
      for (const Row& r : rows) {
        // A window a command opens must not take the next key.
        spy.clear();
        target->setFocus();
        widget.rightPanel().ShowText(QString());
        QTest::keyClick(target, r.key, r.mods);
        const bool acts =
            focus == Focus::kTimeline || (focus == Focus::kTyping ? r.whileTyping : r.fromPanel);
        const QString what = QStringLiteral("focus %1, command %2")
                                 .arg(static_cast<int>(focus))
                                 .arg(static_cast<int>(r.command));
        QVERIFY2(spy.size() == (acts ? 1 : 0), qPrintable(what));
        if (acts) {
          QCOMPARE(spy.at(0).at(0).value<KeyCommand>(), r.command);
        }
      }
    }
    // Typed in the right panel, T is text.
    view_->typing = true;
    widget.rightPanel().setFocus();
    widget.rightPanel().ShowText(QString());
    QTest::keyClick(&widget.rightPanel(), 't');
    QCOMPARE(widget.rightPanel().toPlainText(), QStringLiteral("t"));
  }

  // A middle click, or a click in the strips beside the line, gives the
  // timeline the keyboard and tells the view no click of the line.
  void ClickGivesTheTimelineTheKeyboard() {
    ViewWidget& widget = app_->viewWidget();
    widget.rightPanel().setFocus();
    QTest::mouseClick(&widget, Qt::MiddleButton, Qt::NoModifier, QPoint(400, 200));
    QVERIFY(widget.hasFocus());
    QCOMPARE(view_->calls, std::vector<std::string>{});
    widget.leftPanel().setFocus();
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 200));
    QVERIFY(widget.hasFocus());
  }

  // Tab goes round timeline, left panel, right panel; the left panel takes
  // no typing but still gives its text to copy.
  void TabLeavesThePanelsAndTheLeftOneIsReadOnly() {
    ViewWidget& widget = app_->viewWidget();
    PanelEdit& left = widget.leftPanel();
    PanelEdit& right = widget.rightPanel();
    left.ShowText(QStringLiteral("AD 794"));
    app_->window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app_->window()));
    widget.setFocus();
    const std::vector<QWidget*> order = {&left, &right, &widget};
    for (QWidget* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next);
    }
    QTest::keyClicks(&left, QStringLiteral("x"));
    QTest::keyClick(&left, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&left, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(left.toPlainText(), QStringLiteral("AD 794"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("AD 794"));
    QVERIFY(!right.toPlainText().contains(QLatin1Char('\t')));
  }

  void WindowIsTitledMaximisedAndLaidOutForTheScreen() {
    MainWindow& frame = app_->window();
    QCOMPARE(frame.windowTitle(), QStringLiteral(" [ Q E V ライン式 歴史年代 暗記法 V2.00 ] "));
    QVERIFY(frame.windowState() & Qt::WindowMaximized);
    const QList<QAction*> menus = frame.menuBar()->actions();
    QCOMPARE(menus.size(), 5);
    QCOMPARE(menus[0]->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(menus[0]->menu()->actions().size(), 1);
    QCOMPARE(menus[0]->menu()->actions()[0]->text(),
             QStringLiteral("[ Q E V ライン式 歴史のできごと 記憶法 ] のﾊﾞｰｼﾞｮﾝ情報"));

    ViewWidget& view = app_->viewWidget();
    QCOMPARE(view.size(), QSize(800, 600));
    QCOMPARE(view.scrollBar().geometry(), QRect(12, 405, 772, 12));
    QCOMPARE(view.leftPanel().geometry(), QRect(12, 426, 384, 36));
    QCOMPARE(view.rightPanel().geometry(), QRect(401, 426, 384, 36));
  }

  // Laid out for the whole screen, the form is larger than the maximised
  // window under its frame and menu bar; laid out for that window's client
  // area, all of it shows without scroll bars.
  void FormLaidOutForTheMaximisedWindowShowsWhole() {
    QScreen& screen = *QGuiApplication::primaryScreen();
    auto shownWhole = [&](QSize layout) {
      Application app(ScreenLayout{layout.width(), layout.height()}, dataDir_.path().toStdString(),
                      [](Platform& platform, const ScreenLayout&, const std::string&) {
                        return std::make_unique<RecordingView>(platform);
                      });
      app.Start();
      if (!QTest::qWaitFor([&] { return app.firstPaintDone(); })) return false;
      auto* area = qobject_cast<QScrollArea*>(app.window().centralWidget());
      return area->viewport()->size() == layout && !area->horizontalScrollBar()->isVisible() &&
             !area->verticalScrollBar()->isVisible() &&
             app.window().size() ==
                 QSize(layout.width(), layout.height() + app.window().menuBar()->height());
    };
    QVERIFY(!shownWhole(screen.size()));

    const QSize client = MaximisedClientSize(screen);
    const QSize available = screen.availableGeometry().size();
    QVERIFY(client.width() <= available.width());
    QVERIFY(client.height() < available.height());  // less the menu bar at least
    QVERIFY2(shownWhole(client),
             qPrintable(QStringLiteral("%1x%2").arg(client.width()).arg(client.height())));
  }

  void FirstPaintRunsOnceAndUncoveringOnlyBlits() {
    QtPlatform& platform = app_->platform();
    platform.ViewCanvas().FillRect(600, 500, 610, 510, {255, 0, 0});
    platform.DrawAreaCanvas().FillRect(0, 0, 5, 5, {0, 0, 255});
    app_->viewWidget().repaint();
    const QImage shot = app_->viewWidget().Grab();
    QCOMPARE(shot.size(), QSize(800, 600));
    QCOMPARE(At(shot, 400, 550), QColor(152, 152, 152));  // the control panel's ground
    QCOMPARE(At(shot, 605, 505), QColor(255, 0, 0));
    QCOMPARE(At(shot, 12, 12), QColor(0, 0, 255));
    QCOMPARE(At(shot, 16, 16), QColor(0, 0, 255));
    QCOMPARE(At(shot, 17, 17), QColor(152, 152, 152));
    QCOMPARE(At(shot, 100, 440), QColor(Qt::white));  // the left panel
    QCOMPARE(view_->Count("OnPaint"), 0);
  }

  void LineStepScrollsOnceFromTheOldThumb() {
    TimelineScrollBar& bar = app_->viewWidget().scrollBar();
    QCOMPARE(bar.value(), 346);
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(view_->calls, std::vector<std::string>{Scroll(ScrollCode::kLineRight, 346)});
    QCOMPARE(bar.value(), 347);
    bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(view_->calls, (std::vector<std::string>{Scroll(ScrollCode::kLineRight, 346),
                                                     Scroll(ScrollCode::kPageLeft, 347),
                                                     Scroll(ScrollCode::kRight, 337)}));
    QCOMPARE(bar.value(), 700);
  }

  void ThumbStaysWhereTheViewLeftIt() {
    view_->movesThumb = false;
    TimelineScrollBar& bar = app_->viewWidget().scrollBar();
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(view_->Count("ScrollTimeline"), 1);
    QCOMPARE(bar.value(), 346);
  }

  void ThumbSetFromCodeDoesNotScroll() {
    app_->platform().SetScrollThumb(120);
    QCOMPARE(app_->viewWidget().scrollBar().value(), 120);
    QCOMPARE(app_->platform().ScrollThumb(), 120);
    app_->platform().SetScrollThumb(900);
    QCOMPARE(app_->platform().ScrollThumb(), 700);
    QVERIFY(view_->calls.empty());
  }

  void DraggingTracksThenSettles() {
    TimelineScrollBar& bar = app_->viewWidget().scrollBar();
    bar.setSliderDown(true);
    bar.setSliderPosition(400);
    bar.setSliderPosition(410);
    bar.setSliderDown(false);
    QCOMPARE(view_->calls, (std::vector<std::string>{Scroll(ScrollCode::kThumbTrack, 346),
                                                     Scroll(ScrollCode::kThumbTrack, 400),
                                                     Scroll(ScrollCode::kThumbPosition, 410)}));
    QCOMPARE(bar.value(), 410);
  }

  void WheelOverTheBarStepsLines() {
    TimelineScrollBar& bar = app_->viewWidget().scrollBar();
    auto turn = [&](int delta) {
      QWheelEvent wheel(QPointF(50, 5), bar.mapToGlobal(QPointF(50, 5)), QPoint(), QPoint(0, delta),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&bar, &wheel);
    };
    turn(-120);
    turn(60);
    turn(180);
    QCOMPARE(view_->calls, (std::vector<std::string>{Scroll(ScrollCode::kLineRight, 346),
                                                     Scroll(ScrollCode::kLineLeft, 347),
                                                     Scroll(ScrollCode::kLineLeft, 346)}));
    QCOMPARE(bar.value(), 345);

    QWheelEvent onView(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, -120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&app_->viewWidget(), &onView);
    QCOMPARE(view_->calls.size(), std::size_t{3});
  }

  // The view has no wheel handling of its own: it leaves the wheel to the
  // window's scroll area, which scrolls the form in a window too small for
  // it, as a form view does. (Qt hands an unaccepted wheel from the window
  // system on to the parent; one sent from here stops where it is ignored.)
  void WheelOverTheViewIsLeftToTheForm() {
    ViewWidget& view = app_->viewWidget();
    QWheelEvent wheel(QPointF(300, 200), view.mapToGlobal(QPointF(300, 200)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    QVERIFY(!wheel.isAccepted());
    QVERIFY(view_->calls.empty());
  }

  void PointerEventsReachTheViewInViewCoordinates() {
    ViewWidget& view = app_->viewWidget();
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(30, 40));
    QTest::mouseClick(&view, Qt::RightButton, {}, QPoint(500, 560));
    QCOMPARE(view_->calls,
             (std::vector<std::string>{"OnLButtonDown 30 40", "OnLButtonUp 30 40",
                                       "OnRButtonUp 500 560", "ShowContextMenu 500 560"}));
    // A double click arrives as press, release, double click, release.
    view_->calls.clear();
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(5, 300));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(5, 300));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(5, 300));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(5, 300));
    QCOMPARE(view_->calls,
             (std::vector<std::string>{"OnLButtonDown 5 300", "OnLButtonUp 5 300",
                                       "OnLButtonDblClk 5 300", "OnLButtonUp 5 300"}));
  }

  void MenuAnswerIsReturnedAndTheViewRepaintedAfterwards() {
    QtPlatform& platform = app_->platform();
    int chosen = -1;
    view_->onContextMenu = [&](int x, int y) {
      chosen = static_cast<int>(platform.PopupMenu(
          {{MenuCommand::kSave, "ファイルを保存"}, {MenuCommand::kEraseFile, "ファイルを消去"}}, x,
          y));
      view_->calls.emplace_back("menu closed");
    };
    platform.menuAnswers.push_back(MenuCommand::kEraseFile);
    QTest::mouseClick(&app_->viewWidget(), Qt::RightButton, {}, QPoint(200, 530));
    QCOMPARE(chosen, 32773);
    QCOMPARE(platform.menuRequests.size(), std::size_t{1});
    QCOMPARE(platform.menuRequests[0].items[1].text, std::string("ファイルを消去"));
    QCOMPARE(platform.menuRequests[0].globalPosition,
             app_->viewWidget().mapToGlobal(QPoint(200, 530)));
    QCOMPARE(view_->calls,
             (std::vector<std::string>{"OnRButtonUp 200 530", "ShowContextMenu 200 530",
                                       "menu closed", "OnPaint"}));

    // A dismissed menu answers 0 and uncovers the view all the same.
    view_->calls.clear();
    platform.menuAnswers.push_back(MenuCommand::kNone);
    QTest::mouseClick(&app_->viewWidget(), Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(chosen, 0);
    QCOMPARE(view_->Count("OnPaint"), 1);
  }

  void FileDialogOpensWhereTheLastOneWasConfirmed() {
    QtPlatform& platform = app_->platform();
    const std::string first = dataDir_.path().toStdString() + "/歴史文書20.txt";
    platform.dialogAnswers.push_back(dataDir_.path().toStdString() + "/sub/読んだ.txt");
    platform.dialogAnswers.push_back(std::nullopt);
    QCOMPARE(platform.FileDialog(FileDialogKind::kOpen, first),
             std::optional<std::string>(dataDir_.path().toStdString() + "/sub/読んだ.txt"));
    QCOMPARE(platform.FileDialog(FileDialogKind::kSave, "歴史文書21.txt"), std::nullopt);
    QCOMPARE(platform.dialogRequests.size(), std::size_t{2});
    QCOMPARE(platform.dialogRequests[0].folder, dataDir_.path());
    QCOMPARE(platform.dialogRequests[0].fileName, QStringLiteral("歴史文書20.txt"));
    QCOMPARE(platform.dialogRequests[1].folder, dataDir_.path() + "/sub");
    QCOMPARE(platform.dialogRequests[1].kind, FileDialogKind::kSave);
    QVERIFY(platform.TakeUncovered());
  }

  void CancelledFirstDialogLeavesTheDataFolderAsTheLastUsed() {
    QtPlatform& platform = app_->platform();
    QVERIFY(QDir::currentPath() != dataDir_.path());
    platform.dialogAnswers.assign({std::nullopt, std::nullopt});
    platform.FileDialog(FileDialogKind::kOpen, dataDir_.path().toStdString() + "/歴史文書20.txt");
    platform.FileDialog(FileDialogKind::kOpen, "歴史文書21.txt");
    QCOMPARE(platform.dialogRequests.size(), std::size_t{2});
    QCOMPARE(platform.dialogRequests[1].folder, dataDir_.path());
    QCOMPARE(platform.dialogRequests[1].fileName, QStringLiteral("歴史文書21.txt"));
  }

  void PanelTextRoundTripsAsCp932WithCrLf() {
    QtPlatform& platform = app_->platform();
    const Sjis text = "ＡＤ１６００年  関ヶ原の戦い\r\n①重要度\r\n"_sj;
    platform.SetPanelText(InfoPanel::kRight, text);
    QCOMPARE(app_->viewWidget().rightPanel().document()->blockCount(), 3);
    QCOMPARE(app_->viewWidget().rightPanel().toPlainText(),
             QStringLiteral("ＡＤ１６００年  関ヶ原の戦い\n①重要度\n"));
    const Cp932Encoding back = platform.PanelText(InfoPanel::kRight);
    QVERIFY(back.ok());
    QCOMPARE(back.bytes, text);
    QCOMPARE(SplitPanelLines(back.bytes).size(), std::size_t{3});

    app_->viewWidget().leftPanel().setPlainText(QStringLiteral("森鷗外\n二行目"));
    const Cp932Encoding typed = platform.PanelText(InfoPanel::kLeft);
    QVERIFY(!typed.ok());
    QCOMPARE(typed.unencodable, std::string("鷗"));
    QCOMPARE(typed.bytes, "森"_sj);
  }

  // Text from an input method: the preedit shows while it is composed but
  // is not the panel's text; the committed string is, at the cursor.
  void InputMethodTextGoesIntoThePanelWhenCommitted() {
    QtPlatform& platform = app_->platform();
    PanelEdit& panel = app_->viewWidget().rightPanel();
    platform.SetPanelText(InfoPanel::kRight, "できごと=平安京\r\n  メモ1  =\r\n"_sj);
    QVERIFY(panel.testAttribute(Qt::WA_InputMethodEnabled));
    QTextCursor cursor(panel.document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock);
    panel.setTextCursor(cursor);

    QInputMethodEvent preedit(QStringLiteral("せんと"), {});
    QCoreApplication::sendEvent(&panel, &preedit);
    QCOMPARE(panel.textCursor().block().layout()->preeditAreaText(), QStringLiteral("せんと"));
    QCOMPARE(platform.PanelText(InfoPanel::kRight).bytes, "できごと=平安京\r\n  メモ1  =\r\n"_sj);

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("遷都"));
    QCoreApplication::sendEvent(&panel, &commit);
    QCOMPARE(panel.textCursor().block().layout()->preeditAreaText(), QString());
    const Cp932Encoding text = platform.PanelText(InfoPanel::kRight);
    QVERIFY(text.ok());
    QCOMPARE(text.bytes, "できごと=平安京遷都\r\n  メモ1  =\r\n"_sj);
  }

  // The form font at 12 pixels, its lines 12 pixels apart as in the form's
  // edit controls: three lines fill the 36-pixel panel of an 800x600 screen.
  void RightPanelShowsThreeLinesOnASmallScreen() {
    app_->platform().SetPanelText(InfoPanel::kRight, "一行目\r\n二行目\r\n三行目"_sj);
    PanelEdit& panel = app_->viewWidget().rightPanel();
    QCOMPARE(panel.font().pixelSize(), 12);
    QCOMPARE(panel.viewport()->height(), 36);
    auto allShown = [&] {
      QTextCursor end = panel.textCursor();
      end.movePosition(QTextCursor::End);
      panel.setTextCursor(end);
      const QRect cursor = panel.cursorRect();
      return panel.verticalScrollBar()->maximum() == 0 && cursor.top() >= 23 &&
             cursor.bottom() < 36;
    };
    QVERIFY(allShown());
    // Ink in each 12-row band: the three lines one under the other.
    const QImage image = panel.grab().toImage();
    for (int band = 0; band < 3; ++band) {
      int ink = 0;
      for (int y = 12 * band + 2; y < 12 * band + 10; ++y) {
        for (int x = 0; x < 60; ++x) ink += image.pixelColor(x, y).lightness() < 128;
      }
      QVERIFY2(ink > 10, qPrintable(QString::number(band)));
    }

    // Lines pasted or typed keep the spacing.
    panel.setPlainText(QString());
    app_->platform().SetPanelText(InfoPanel::kRight, "一行目"_sj);
    QTextCursor end = panel.textCursor();
    end.movePosition(QTextCursor::End);
    panel.setTextCursor(end);
    QApplication::clipboard()->setText(QStringLiteral("\n二行目"));
    panel.paste();
    QTest::keyClick(&panel, Qt::Key_Return);
    QTest::keyClicks(&panel, QStringLiteral("san"));
    QCOMPARE(panel.document()->blockCount(), 3);
    QVERIFY(allShown());
  }

  // However long a field is, the panels show it at once: a line without
  // break points, ASCII or kana, is cut before the edit lays it out.
  void LongFieldsShowWithinATenthOfASecond() {
    const std::string kana = "あ"_sj;
    std::string kanaField;
    for (int i = 0; i < (1 << 19); ++i) kanaField += kana;
    for (const std::string& field : {std::string(1 << 20, 'x'), kanaField}) {
      QElapsedTimer timer;
      timer.start();
      app_->platform().SetPanelText(InfoPanel::kRight, Sjis("できごと="_sj + field + "\r\nメモ"));
      app_->platform().SetPanelText(InfoPanel::kLeft, Sjis("AD 794;①,②;"_sj + field + ";\r\n"));
      PanelEdit& panel = app_->viewWidget().rightPanel();
      panel.grab();
      app_->viewWidget().leftPanel().grab();
      QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
      const QString shown = panel.document()->firstBlock().text();
      QVERIFY(shown.endsWith(QStringLiteral("…")));
      QVERIFY(!shown.contains(QChar::ReplacementCharacter));
      QCOMPARE(panel.document()->blockCount(), 2);
    }
  }

  void RefusedCloseKeepsTheWindowOpen() {
    view_->allowClose = false;
    QVERIFY(!app_->window().close());
    QVERIFY(app_->window().isVisible());
    view_->allowClose = true;
    QVERIFY(app_->window().close());
    QCOMPARE(view_->Count("QueryClose"), 2);
  }

  void ClockTicksEverySecond() {
    QVERIFY(app_->clockTimer().isActive());
    QCOMPARE(app_->clockTimer().interval(), 1000);
    const int before = view_->Count("OnClockTick");
    app_->TickClock();
    QCOMPARE(view_->Count("OnClockTick"), before + 1);
  }

  // A modal menu or dialog does not stop the clock and the stopwatch, while
  // clicks wait until the handler that opened it has returned.
  void ClockKeepsTickingWhileAMenuIsOpen() {
    view_->onContextMenu = [&](int, int) {
      QTest::mouseClick(&app_->viewWidget(), Qt::LeftButton, {}, QPoint(30, 40));
      app_->TickClock();  // a tick while the menu's own event loop runs
      view_->calls.emplace_back("menu closed");
    };
    QTest::mouseClick(&app_->viewWidget(), Qt::RightButton, {}, QPoint(200, 530));
    const std::vector<std::string>& calls = view_->calls;
    const auto closed = std::find(calls.begin(), calls.end(), "menu closed");
    QVERIFY(closed != calls.end());
    QVERIFY(std::find(calls.begin(), closed, "OnClockTick") != closed);
    QCOMPARE(view_->Count("OnLButton"), 0);
  }

  // A success is told with the information sign, anything else with the
  // warning sign.
  void MessagesShowTheSignOfTheirKind() {
    for (const MessageKind kind : {MessageKind::kInformation, MessageKind::kWarning}) {
      QMessageBox::Icon shown = QMessageBox::NoIcon;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        shown = box->icon();
        box->accept();
      });
      app_->platform().ShowMessage("x", kind);
      QCOMPARE(shown,
               kind == MessageKind::kInformation ? QMessageBox::Information : QMessageBox::Warning);
    }
  }

  void AboutBoxShowsTheVersion() {
    AboutDialog about;
    QCOMPARE(about.windowTitle(),
             QStringLiteral("          [ Q E V ライン式 歴史のできごと 記憶法 ] のﾊﾞｰｼﾞｮﾝ情報"));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains(
        QStringLiteral("[ Q E V ライン式 歴史のできごと 記憶法 ] Version " QEV_VERSION)));
    QVERIFY(about.findChild<QDialogButtonBox*>() != nullptr);
  }

 private:
  QTemporaryDir dataDir_;
  std::unique_ptr<Application> app_;
  RecordingView* view_ = nullptr;
};

}  // namespace qev

QTEST_MAIN(qev::ShellTest)
#include "shell_test.moc"
