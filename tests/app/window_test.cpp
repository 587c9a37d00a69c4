#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/application.h"
#include "panel/panel_areas.h"
#include "state/operating_state_text.h"
#include "text/cp932.h"

using namespace qev::literals;

namespace qev {
namespace {

const ScreenLayout kLayout{800, 600};

const QColor kPanelGrey(152, 152, 152);
const QColor kLineGrey(120, 120, 120);
const QColor kMarkGrey(96, 96, 96);
const QColor kSelectedGrey(192, 192, 192);

// The commands of the slot menus.
constexpr MenuCommand kRead = MenuCommand::kReadFile;
constexpr MenuCommand kSave = MenuCommand::kSave;
constexpr MenuCommand kErase = MenuCommand::kEraseFile;

// The events of the data folder. At range 8 with the era line at x 350 of
// the drawing area, the BC 450 point lies a few pixels inside the left edge
// and leaves the area with one line step to the right; the others stay.
struct Year {
  bool bc;
  int year;
};
constexpr Year kLeftEdge{true, 450};
constexpr Year kBc250{true, 250};
constexpr Year kAd150{false, 150};
constexpr Year kAd300{false, 300};  // the second slot's file
constexpr Year kAd400{false, 400};  // the file read into an empty slot

// Writes UTF-8 lines as a CP932 file with CR LF line ends.
void WriteCp932(const QString& path, const std::vector<std::string_view>& lines) {
  std::string text;
  for (std::string_view line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  const Cp932Encoding encoded = EncodeCp932(text);
  QVERIFY2(encoded.ok(), encoded.unencodable.c_str());
  std::ofstream out(path.toStdString(), std::ios::binary);
  out << encoded.bytes;
  QVERIFY(out.good());
}

// What the data folder's state file holds: range 8 and POS 350, both unlike
// a fresh start (range 7, the era line far to the left).
OperatingState StateWithBrightness(int brightness) {
  OperatingState state;
  state.rangeIndex = 8;
  state.savedScrollPos = 350;
  state.display.brightness = brightness;
  return state;
}

MainView& CoreView(Application& app) {
  return dynamic_cast<MainView&>(app.view());
}

// The centre of the point's mark in the grab: its start x as the scale
// places the year, at the height of the line there.
QPoint MarkCentre(MainView& view, Year point) {
  const TimelineScale& scale = view.session()->scale();
  const int offset = scale.YearToOffset(point.year);
  const int x = point.bc ? scale.originX() - offset : scale.originX() + offset;
  const std::optional<LineY> line = scale.LineYAt(x);
  return {kLayout.drawAreaX() + x, kLayout.drawAreaY() + (line ? line->y : -100)};
}

// Whether the 6-pixel mark of a width-2 pen is drawn at `centre` in
// `colour`, and nowhere beside it: columns x-1 and x, rows y-2 to y+3.
bool MarkIs(const QImage& image, QPoint centre, const QColor& colour) {
  const QRect mark(centre.x() - 1, centre.y() - 2, 2, 6);
  if (!image.rect().contains(mark)) return false;
  for (int y = mark.top(); y <= mark.bottom(); ++y) {
    for (int x = mark.left(); x <= mark.right(); ++x) {
      if (image.pixelColor(x, y) != colour) return false;
    }
    if (image.pixelColor(mark.left() - 1, y) == colour) return false;
    if (image.pixelColor(mark.right() + 1, y) == colour) return false;
  }
  return true;
}

QString Describe(const QImage& image, QPoint centre) {
  QString s = QStringLiteral("around (%1,%2):").arg(centre.x()).arg(centre.y());
  for (int y = centre.y() - 3; y <= centre.y() + 4; ++y) {
    s += QLatin1Char('\n');
    for (int x = centre.x() - 3; x <= centre.x() + 2; ++x) {
      s += QStringLiteral(" %1").arg(image.pixelColor(x, y).red(), 3);
    }
  }
  return s;
}

// The columns of a row of the drawing area that show the era line's grey.
std::vector<int> LineGreyColumns(const QImage& image, int y) {
  std::vector<int> columns;
  for (int x = kLayout.drawAreaX(); x < kLayout.drawAreaX() + kLayout.drawAreaWidth(); ++x) {
    if (image.pixelColor(x, y) == kLineGrey) columns.push_back(x);
  }
  return columns;
}

// Where a slot's label is pressed, and the cell its text is drawn in.
QPoint SlotLabelPoint(int k) {
  return {kLayout.X(30 + 95 * k), kLayout.row3() + 2};
}
QRect SlotLabelCell(int k, int width) {
  return {kLayout.X(30 + 95 * k) - 2 * kLayout.u(), kLayout.row3(), width, 12};
}

// The darkest and the brightest grey in a rectangle of the grab; -1 for
// both where a pixel there is coloured.
std::pair<int, int> GreyRange(const QImage& image, const QRect& rect) {
  int darkest = 255;
  int brightest = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() != c.green() || c.red() != c.blue()) return {-1, -1};
      darkest = std::min(darkest, c.red());
      brightest = std::max(brightest, c.red());
    }
  }
  return {darkest, brightest};
}

// Whether a label cell shows text in the grey of an empty slot (96,96,96,
// antialiased) on the panel grey and nothing brighter.
bool ShowsEmptySlotGrey(const QImage& image, const QRect& cell) {
  const auto [darkest, brightest] = GreyRange(image, cell);
  return darkest >= 96 && darkest < 110 && brightest == 152;
}

// Whether it shows white text: the colour of a slot with a file, switched on.
// The thin strokes of the 11-pixel glyphs (a 12-pixel cell) stay a little
// below full white.
bool ShowsWhiteText(const QImage& image, const QRect& cell) {
  const auto [darkest, brightest] = GreyRange(image, cell);
  return darkest >= 152 && brightest > 210;
}

QString FirstLine(const QString& text) {
  return text.section(QLatin1Char('\n'), 0, 0);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    WriteCp932(
        dir_.filePath(QStringLiteral("歴史文書20.txt")),
        {"H;古代;;2026年01月05日09時00分;", "BC0450;3,2,,;春秋時代;左端のできごと;メモA;メモB;",
         "BC0250;2,1,,;戦国時代;紀元前のできごと;;;", "AD0150;1,3,,;後漢;紀元後のできごと;;;",
         ";"});
    WriteCp932(dir_.filePath(QStringLiteral("歴史文書21.txt")),
               {"H;中世;;2026年01月05日09時00分;",
                "AD0300;4,4,,;三国時代;二つ目のファイルのできごと;;;", ";"});
    WriteCp932(dir_.filePath(QStringLiteral("追加.txt")),
               {"H;追加;;2026年01月05日09時00分;", "AD0400;5,5,,;晋;読み込んだできごと;;;", ";"});
  }

  void init() { QVERIFY(StartProgram(StateWithBrightness(3))); }

  void cleanup() {
    std::vector<std::string> messages;
    if (app_) messages = app_->platform().messageRequests;
    app_.reset();
    // A message box nobody expected would have shown.
    QCOMPARE(messages, std::vector<std::string>{});
  }

  void FirstPaintRestoresTheStateAndShowsTheFirstPoint() {
    MainView& view = CoreView(*app_);
    QCOMPARE(view.session()->scale().rangeIndex(), 8);
    QCOMPARE(view.session()->scale().originX(), 350);
    QCOMPARE(view.session()->savedScrollPos(), 350);
    QCOMPARE(app_->viewWidget().scrollBar().value(), 350);

    const QImage shot = app_->viewWidget().Grab();
    // The era line, 2 pixels wide, between the labels and the zigzag line.
    const int eraX = kLayout.drawAreaX() + 350;
    QCOMPARE(LineGreyColumns(shot, kLayout.drawAreaY() + 100), (std::vector<int>{eraX - 1, eraX}));

    QCOMPARE(FirstLine(app_->viewWidget().leftPanel().toPlainText()),
             QStringLiteral("BC 450;③,②;左端のできごと;"));
    QCOMPARE(FirstLine(app_->viewWidget().rightPanel().toPlainText()),
             QStringLiteral("できごと=左端のできごと"));
  }

  // Real mouse events through Qt reach the dispatch: the range label steps the
  // range and redraws its label; a right click in the frame selects the next
  // point.
  void ClicksReachTheDispatch() {
    MainView& view = CoreView(*app_);
    const PanelRect range = AreaRect(kLayout, PanelArea::kRange);
    QTest::mouseClick(&app_->viewWidget(), Qt::LeftButton, {},
                      QPoint(range.left + 2, range.top + 2));
    QCOMPARE(view.session()->scale().rangeIndex(), 9);
    QTest::mouseClick(&app_->viewWidget(), Qt::RightButton, {}, QPoint(400, 200));
    QCOMPARE(view.session()->visible().selectedIndex(), 1);
    QCOMPARE(FirstLine(app_->viewWidget().rightPanel().toPlainText()).left(5),
             QStringLiteral("できごと="));
  }

  // An event text typed through an input method is written into the
  // event's line by [実行].
  void InputMethodTextIsWrittenByContentEditing() {
    MainView& view = CoreView(*app_);
    PanelEdit& panel = app_->viewWidget().rightPanel();
    const PanelRect button = AreaRect(kLayout, PanelArea::kEditSetExecute);
    const QPoint press(button.left + 2, button.top + 2);
    QTest::mouseClick(&app_->viewWidget(), Qt::LeftButton, {}, press);
    QCOMPARE(FirstLine(panel.toPlainText()), QStringLiteral("できごと=左端のできごと"));

    QTextCursor cursor(panel.document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock);
    panel.setTextCursor(cursor);
    QInputMethodEvent preedit(QStringLiteral("かいめい"), {});
    QCoreApplication::sendEvent(&panel, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("・改名"));
    QCoreApplication::sendEvent(&panel, &commit);

    QTest::mouseClick(&app_->viewWidget(), Qt::LeftButton, {}, press);
    QVERIFY(!view.session()->edit().editing());
    QCOMPARE(view.session()->store().slots[0].Line(0),
             "BC0450;3,2,,;春秋時代;左端のできごと・改名;メモA;メモB;"_sj);
    QCOMPARE(view.session()->store().slots[0].changed, 1);
  }

  void GroundsFollowTheBrightness_data() {
    QTest::addColumn<int>("brightness");
    QTest::addColumn<QColor>("ground");
    QTest::newRow("3") << 3 << QColor(48, 48, 48);
    QTest::newRow("5") << 5 << QColor(80, 80, 80);
  }
  void GroundsFollowTheBrightness() {
    QFETCH(int, brightness);
    QFETCH(QColor, ground);
    app_.reset();
    QVERIFY(StartProgram(StateWithBrightness(brightness)));
    const QImage shot = app_->viewWidget().Grab();

    // Inside the drawing area, away from the line, the marks and the labels.
    for (const QPoint p : {QPoint(30, 150), QPoint(600, 372), QPoint(780, 60)}) {
      QVERIFY2(shot.pixelColor(p) == ground, qPrintable(Describe(shot, p)));
    }
    // The strips beside the drawing area and the control panel below the
    // information panels.
    for (const QPoint p : {QPoint(5, 200), QPoint(790, 200), QPoint(3, 470), QPoint(796, 545),
                           QPoint(400, 530), QPoint(400, 590)}) {
      QVERIFY2(shot.pixelColor(p) == kPanelGrey, qPrintable(Describe(shot, p)));
    }
  }

  void PointMarksSitWhereTheScalePutsThem() {
    MainView& view = CoreView(*app_);
    QCOMPARE(view.session()->settings().pointDisplayMode, PointDisplayMode::kAll);
    const QImage shot = app_->viewWidget().Grab();
    const QPoint selected = MarkCentre(view, kLeftEdge);
    QVERIFY2(MarkIs(shot, selected, kSelectedGrey), qPrintable(Describe(shot, selected)));
    for (const Year year : {kBc250, kAd150, kAd300}) {
      const QPoint mark = MarkCentre(view, year);
      QVERIFY2(MarkIs(shot, mark, kMarkGrey), qPrintable(Describe(shot, mark)));
    }
  }

  void LineStepMovesTheLineAndRefreshesTheSelection() {
    MainView& view = CoreView(*app_);
    TimelineScrollBar& bar = app_->viewWidget().scrollBar();
    const int row = kLayout.drawAreaY() + 100;
    const int eraX = kLayout.drawAreaX() + 350;
    const QPoint leftEdge = MarkCentre(view, kLeftEdge);
    QVERIFY(leftEdge.x() >= kLayout.drawAreaX() &&
            leftEdge.x() < kLayout.drawAreaX() + TimelineScale::kScrollStep);

    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(view.session()->savedScrollPos(), 351);
    QCOMPARE(bar.value(), 351);
    const QImage shot = app_->viewWidget().Grab();
    QCOMPARE(LineGreyColumns(shot, row), (std::vector<int>{eraX - 21, eraX - 20}));

    // The point that left the area is gone from the lists: the selection is
    // on the next one, marked and shown.
    const QPoint selected = MarkCentre(view, kBc250);
    QVERIFY2(MarkIs(shot, selected, kSelectedGrey), qPrintable(Describe(shot, selected)));
    for (const Year year : {kAd150, kAd300}) {
      const QPoint mark = MarkCentre(view, year);
      QVERIFY2(MarkIs(shot, mark, kMarkGrey), qPrintable(Describe(shot, mark)));
    }
    QCOMPARE(FirstLine(app_->viewWidget().leftPanel().toPlainText()),
             QStringLiteral("BC 250;②,①;紀元前のできごと;"));
    QCOMPARE(view.session()->visible().size(), 3);

    // And back: the point returns and is selected again.
    bar.triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(view.session()->savedScrollPos(), 350);
    QCOMPARE(bar.value(), 350);
    const QImage back = app_->viewWidget().Grab();
    QCOMPARE(LineGreyColumns(back, row), (std::vector<int>{eraX - 1, eraX}));
    QVERIFY2(MarkIs(back, leftEdge, kSelectedGrey), qPrintable(Describe(back, leftEdge)));
  }

  void LoadedSlotMenuErasesThatSlot() {
    QtPlatform& platform = app_->platform();
    MainView& view = CoreView(*app_);
    const QFontMetrics& metrics = app_->viewWidget().backBuffer().Font("MS P明朝", 12).metrics;
    const int prefixWidth = metrics.horizontalAdvance(QStringLiteral("ファイル"));
    const QRect cell = SlotLabelCell(1, 60);
    QImage shot = app_->viewWidget().Grab();
    QVERIFY(ShowsWhiteText(shot, cell));  // "中世"

    platform.menuAnswers.push_back(kErase);
    QTest::mouseClick(&app_->viewWidget(), Qt::RightButton, {}, SlotLabelPoint(1));
    QCOMPARE(platform.menuRequests.size(), std::size_t{1});
    const std::vector<MenuItem>& items = platform.menuRequests[0].items;
    QCOMPARE(items.size(), std::size_t{2});
    QCOMPARE(items[0].command, kSave);
    QCOMPARE(items[0].text, std::string("ファイルを保存"));
    QCOMPARE(items[1].command, kErase);
    QCOMPARE(items[1].text, std::string("ファイルを消去"));
    QCOMPARE(view.session()->store().slots[1].loaded, 0);  // the menu acted on slot ②

    shot = app_->viewWidget().Grab();
    // The label reads "ファイル②" in the grey of an empty slot, drawn like
    // the untouched "ファイル③" beside it.
    QVERIFY(ShowsEmptySlotGrey(shot, cell));
    QCOMPARE(shot.copy(SlotLabelCell(1, prefixWidth)), shot.copy(SlotLabelCell(2, prefixWidth)));
    // Slot 1's point is gone, slot 0's are all there.
    const QPoint erased = MarkCentre(view, kAd300);
    QVERIFY2(!MarkIs(shot, erased, kMarkGrey), qPrintable(Describe(shot, erased)));
    QVERIFY(MarkIs(shot, MarkCentre(view, kLeftEdge), kSelectedGrey));
    QVERIFY(MarkIs(shot, MarkCentre(view, kBc250), kMarkGrey));
    QVERIFY(MarkIs(shot, MarkCentre(view, kAd150), kMarkGrey));
    QVERIFY(ShowsWhiteText(shot, SlotLabelCell(0, 60)));
  }

  void EmptySlotMenuReadsTheChosenFile() {
    QtPlatform& platform = app_->platform();
    MainView& view = CoreView(*app_);
    const QRect cell = SlotLabelCell(2, 60);
    const QPoint read = MarkCentre(view, kAd400);
    const QImage before = app_->viewWidget().Grab();
    QVERIFY(ShowsEmptySlotGrey(before, cell));
    QVERIFY(!MarkIs(before, read, kMarkGrey));

    platform.menuAnswers.push_back(kRead);
    platform.dialogAnswers.push_back(dir_.filePath(QStringLiteral("追加.txt")).toStdString());
    QTest::mouseClick(&app_->viewWidget(), Qt::RightButton, {}, SlotLabelPoint(2));
    QCOMPARE(platform.menuRequests.size(), std::size_t{1});
    const std::vector<MenuItem>& items = platform.menuRequests[0].items;
    QCOMPARE(items.size(), std::size_t{2});
    QCOMPARE(items[0].command, kRead);
    QCOMPARE(items[0].text, std::string("ファイルを読み込む"));
    // The dialog opens on the slot's own file in the data folder.
    QCOMPARE(platform.dialogRequests.size(), std::size_t{1});
    QCOMPARE(platform.dialogRequests[0].kind, FileDialogKind::kOpen);
    QCOMPARE(platform.dialogRequests[0].folder, dir_.path());
    QCOMPARE(platform.dialogRequests[0].fileName, QStringLiteral("歴史文書22.txt"));

    const QImage shot = app_->viewWidget().Grab();
    QVERIFY(ShowsWhiteText(shot, cell));  // "追加"
    QVERIFY2(MarkIs(shot, read, kMarkGrey), qPrintable(Describe(shot, read)));
    QVERIFY(MarkIs(shot, MarkCentre(view, kLeftEdge), kSelectedGrey));
    QCOMPARE(view.session()->store().slots[2].baseName, "追加"_sj);
  }

 private:
  // Writes the state file and starts the program on the folder; true once
  // the first paint has run.
  bool StartProgram(const OperatingState& state) {
    const Sjis text =
        ComposeStateText(state, "動作状態10"_sj, "2026年01月05日09時00分"_sj) + ";\r\n"_sj;
    std::ofstream(dir_.filePath(QStringLiteral("動作状態10.txt")).toStdString(), std::ios::binary)
        << text;
    app_ = std::make_unique<Application>(kLayout, dir_.path().toStdString());
    // Answers any message box the start might raise, so that the test fails
    // on it (in cleanup) instead of waiting for ever.
    app_->platform().messageAnswers.assign(2, SaveAnswer::kCancel);
    app_->Start();
    return QTest::qWaitFor([this] { return app_->firstPaintDone(); }, 5000);
  }

  QTemporaryDir dir_;
  std::unique_ptr<Application> app_;
};

}  // namespace qev

QTEST_MAIN(qev::WindowTest)
#include "window_test.moc"
