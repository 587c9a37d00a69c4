#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/view_widget.h"
#include "state/operating_state_text.h"
#include "study/order_question.h"
#include "study/study_log.h"
#include "text/cp932.h"
#include "timeline/line_year.h"

using namespace qev::literals;

namespace qev {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Cp932(std::string_view utf8) {
  return EncodeCp932(utf8).bytes;
}

}  // namespace

// A short round through the real window on a file the program has not
// seen: the questions in the order of the rules, answers typed, the years
// hidden while asked, the log appended and the result saved.
class StudyWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void ARoundChangesOnlyTheLevelDigitsOfTheAnsweredEvents() {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    const std::string file = dir.filePath(QStringLiteral("歴史文書20.txt")).toStdString();
    const std::string original = Cp932(
        "H;歴史文書20;;2026年01月05日09時00分;\r\n"
        "AD0794;3,2,,;平安時代;平安京に都を移す;桓武天皇;;\r\n"
        "AD1192;2,1,,;鎌倉時代;源頼朝が征夷大将軍になる;;;\r\n"
        "BC0091;1,4,,;*古代;*何かが起こる;;;\r\n"
        "AD0710;3,1,AD0794,;奈良時代;平城京に都がある;;;\r\n"
        ";\r\n");
    std::ofstream(file, std::ios::binary) << original;
    std::ofstream(dir.filePath(QStringLiteral("動作状態10.txt")).toStdString(), std::ios::binary)
        << ComposeStateText(OperatingState{}, "動作状態10"_sj, "2026年01月05日09時00分"_sj) +
               ";\r\n"_sj;
    Application app(ScreenLayout{1024, 768}, dir.path().toStdString());
    app.Start();
    QVERIFY(QTest::qWaitFor([&] { return app.firstPaintDone(); }, 5000));

    QTest::keyClick(&app.viewWidget(), Qt::Key_T);
    StudyWindow* window = app.studyWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->countsText(), QStringLiteral("復習 0 件 / 新規 4 件（今日の残り 20）"));
    auto* answerField = window->findChild<QLineEdit*>(QStringLiteral("yearAnswer"));
    QVERIFY(answerField);
    QLineEdit& answer = *answerField;
    auto leftPanel = [&] { return DecodeCp932(app.platform().PanelText(InfoPanel::kLeft).bytes); };

    // Never answered: the most important first (the two ③s, shuffled),
    // whatever their digits say; the range 710 to 794 is asked for 710.
    for (int i = 0; i < 2; ++i) {
      if (window->shownText().contains(QStringLiteral("平城京に都がある"))) {
        QVERIFY2(leftPanel().find("710") == std::string::npos, leftPanel().c_str());
        answer.insert(QStringLiteral("７１０年"));  // as an input method commits it
        QTest::keyClick(&answer, Qt::Key_Return);
        QVERIFY(window->shownText().contains(QStringLiteral("正解")));
        QVERIFY(leftPanel().find("710") != std::string::npos);
        QTest::keyClick(&answer, Qt::Key_E);  // 簡単: stability 8.3 days, ④
        QVERIFY(window->shownText().contains(QStringLiteral("① → ④")));
      } else {
        QVERIFY(window->shownText().contains(QStringLiteral("平安京")));
        window->findChild<QPushButton*>(QStringLiteral("giveUp"))->click();
        QVERIFY(window->shownText().contains(QStringLiteral("② → ①")));
        QTest::keyClick(&answer, Qt::Key_E);  // no easy after a miss
        QVERIFY(window->shownText().contains(QStringLiteral("② → ①")));
      }
      QTest::keyClick(&answer, Qt::Key_Return);
    }

    QVERIFY(window->shownText().contains(QStringLiteral("源頼朝")));
    window->findChild<QPushButton*>(QStringLiteral("hint"))->click();
    QVERIFY(window->shownText().contains(QStringLiteral("時代: 鎌倉時代")));
    QTest::keyClicks(&answer, QStringLiteral("1190"));  // within ±5: hard
    QTest::keyClick(&answer, Qt::Key_Return);
    QVERIFY(window->shownText().contains(QStringLiteral("正解")));
    QTest::keyClick(&answer, Qt::Key_Escape);  // ends the round, the answer written
    QVERIFY(window->shownText().contains(QStringLiteral("問題数")));
    QVERIFY(window->shownText().contains(QStringLiteral("AD 794　平安京に都を移す")));
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("retry"))->isVisibleTo(window));
    window->saveButton().click();

    // Saved as every save is: the header takes the date of the save; of the
    // event lines only the two level digits changed.
    std::string expected = original;
    expected.replace(expected.find("AD0710;3,1"), 10, "AD0710;3,4");
    expected.replace(expected.find("AD0794;3,2"), 10, "AD0794;3,1");
    expected.replace(expected.find("AD1192;2,1"), 10, "AD1192;2,2");
    const std::string saved = ReadFile(file);
    const std::size_t body = expected.find("\r\n") + 2;
    QCOMPARE(saved.substr(saved.find("\r\n") + 2), expected.substr(body));
    QVERIFY(saved.starts_with(Cp932("H;歴史文書20;;")));
    QCOMPARE(app.view().session()->store().slots[0].changed, 0);
    const std::string log = ReadFile(dir.filePath(QString::fromUtf8(kStudyLogName)).toStdString());
    QVERIFY(log.find(",歴史文書20,AD0710,平城京に都がある,７１０年,正解,1,4,年,4,0,") !=
            std::string::npos);
    QVERIFY(log.find(",歴史文書20,AD1192,源頼朝が征夷大将軍になる,1190,正解,1,2,年,2,1,") !=
            std::string::npos);
    QVERIFY(log.find(",歴史文書20,AD0794,平安京に都を移す,,不正解,2,1,年,1,0,") !=
            std::string::npos);
    QCOMPARE(std::count(log.begin(), log.end(), '\n'), 4);
  }
  // A mixed round of 年代整序 and 位置 (年 unticked) on events answered by
  // year before: orders chosen by key, places clicked on the line at known
  // years, one wrong; no year shown until answered; the window never over
  // the line or the panels; the log's grades as the answers were.
  void AMixedRoundAsksOrdersAndPlacesOnTheLine() {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    const struct {
      int year;
      const char* text;
    } events[] = {{1600, "関ヶ原の戦い"},           {1615, "大坂夏の陣"},
                  {1639, "ポルトガル船の来航禁止"}, {1657, "明暦の大火"},
                  {1680, "綱吉が将軍になる"},       {1702, "赤穂事件"}};
    std::string lines = "H;歴史文書20;;2026年01月05日09時00分;\r\n";
    for (const auto& e : events) {
      lines += "AD" + std::to_string(e.year) + ";3,3,,;江戸時代;" + e.text + ";;;\r\n";
    }
    std::ofstream(dir.filePath(QStringLiteral("歴史文書20.txt")).toStdString(), std::ios::binary)
        << Cp932(lines + ";\r\n");
    std::ofstream(dir.filePath(QStringLiteral("動作状態10.txt")).toStdString(), std::ios::binary)
        << ComposeStateText(OperatingState{}, "動作状態10"_sj, "2026年01月05日09時00分"_sj) +
               ";\r\n"_sj;
    const std::string logPath = dir.filePath(QString::fromUtf8(kStudyLogName)).toStdString();
    for (const auto& e : events) {
      StudyLogEntry answered;
      answered.time = {2026, 12, 1, 9, 0, 0};
      answered.baseName = "歴史文書20";
      answered.dateField = "AD" + std::to_string(e.year);
      answered.eventText = e.text;
      answered.answer = std::to_string(e.year);
      answered.right = true;
      answered.levelBefore = 3;
      answered.levelAfter = 3;
      answered.grade = Grade::kGood;
      QVERIFY(!AppendStudyLog(logPath, answered));
    }
    Application app(ScreenLayout{1024, 768}, dir.path().toStdString());
    app.Start();
    QVERIFY(QTest::qWaitFor([&] { return app.firstPaintDone(); }, 5000));
    ViewWidget& view = app.viewWidget();
    QTest::keyClick(&view, Qt::Key_T);
    StudyWindow* window = app.studyWindow();
    QVERIFY(window);
    QTest::keyClick(window, Qt::Key_Escape);  // the round of years ends; tick the others
    for (QCheckBox* tick : window->findChildren<QCheckBox*>()) {
      tick->setChecked(tick->text() != QStringLiteral("年"));
    }
    QTest::keyClick(&view, Qt::Key_T);
    const QRect clear(view.mapToGlobal(QPoint(0, 0)),
                      QSize(view.width(), view.layout().panelY() + view.layout().panelHeight()));
    QVERIFY2(!window->frameGeometry().intersects(clear),
             qPrintable(QStringLiteral("%1,%2 %3x%4 / %5,%6 %7x%8 main %9x%10")
                            .arg(window->frameGeometry().x())
                            .arg(window->frameGeometry().y())
                            .arg(window->frameGeometry().width())
                            .arg(window->frameGeometry().height())
                            .arg(clear.x())
                            .arg(clear.y())
                            .arg(clear.width())
                            .arg(clear.height())
                            .arg(app.viewWidget().window()->frameGeometry().width())
                            .arg(app.viewWidget().window()->frameGeometry().height())));

    auto yearOf = [&](const QString& text) {
      for (const auto& e : events) {
        if (text.contains(QString::fromUtf8(e.text))) return e.year;
      }
      return 0;
    };
    auto* order = window->findChild<QWidget*>(QStringLiteral("orderAnswer"));
    auto* place = window->findChild<QWidget*>(QStringLiteral("placeAnswer"));
    QVERIFY(order && place);
    int orders = 0;
    int places = 0;
    bool missed = false;
    for (int asked = 0; asked < 20 && window->shownText().contains(QStringLiteral("問題 "));
         ++asked) {
      const QString shown = window->shownText();
      const std::string panels = DecodeCp932(app.platform().PanelText(InfoPanel::kLeft).bytes) +
                                 DecodeCp932(app.platform().PanelText(InfoPanel::kRight).bytes);
      for (const auto& e : events) {
        QVERIFY2(!shown.contains(QString::number(e.year)), qPrintable(shown));
        QVERIFY2(panels.find(std::to_string(e.year)) == std::string::npos, panels.c_str());
      }
      if (order->isVisible()) {
        // I, II, III as shown, then the choice that puts them in time order.
        const QStringList rows = shown.split(u'\n').filter(QStringLiteral("『"));
        QCOMPARE(rows.size(), 3);
        std::array<std::size_t, 3> inTime{0, 1, 2};
        std::sort(inTime.begin(), inTime.end(),
                  [&](std::size_t a, std::size_t b) { return yearOf(rows[a]) < yearOf(rows[b]); });
        const auto k = static_cast<std::size_t>(
            std::find(kExamOrders.begin(), kExamOrders.end(), inTime) - kExamOrders.begin());
        QTest::keyClick(order, static_cast<Qt::Key>(Qt::Key_1 + k));
        QVERIFY2(window->shownText().contains(QStringLiteral("正解")),
                 qPrintable(window->shownText()));
        for (const QString& row : rows) {
          QVERIFY(window->shownText().contains(QString::number(yearOf(row))));
        }
        ++orders;
      } else {
        QVERIFY(place->isVisible());
        const int year = yearOf(shown) + (missed ? 0 : 60);  // the first one 60 years off
        const TimelineScale& scale = app.view().session()->scale();
        const int x = scale.originX() + scale.YearToOffset(year);
        QVERIFY(x >= 0 && x < scale.drawAreaWidth());
        QVERIFY(std::abs(YearAtX(scale, x).year - year) <= YearsPerPixel(scale, x));
        QTest::mouseClick(
            &view, Qt::LeftButton, {},
            QPoint(view.layout().drawAreaX() + x, view.layout().drawAreaY() + scale.MarkAt(x).y));
        QVERIFY2(window->shownText().contains(missed ? QStringLiteral("正解")
                                                     : QStringLiteral("不正解")),
                 qPrintable(window->shownText()));
        missed = true;
        ++places;
      }
      QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Return);
    }
    QCOMPARE(orders, 6);
    QCOMPARE(places, 7);  // the miss asked again
    const std::string log = ReadFile(logPath);
    QCOMPARE(std::count(log.begin(), log.end(), '\n'), 1 + 6 + 13);
    QVERIFY(log.find(",正解,3,3,年代整序,3,0,") != std::string::npos);
    QVERIFY(log.find("年差),不正解,3,3,位置,1,0,") != std::string::npos);
    QVERIFY(log.find(",正解,3,3,位置,") != std::string::npos);
  }
};

}  // namespace qev

QTEST_MAIN(qev::StudyWindowTest)
#include "study_window_test.moc"
