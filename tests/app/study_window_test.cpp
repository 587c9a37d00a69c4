#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/application.h"
#include "state/operating_state_text.h"
#include "study/study_log.h"
#include "text/cp932.h"

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
};

}  // namespace qev

QTEST_MAIN(qev::StudyWindowTest)
#include "study_window_test.moc"
