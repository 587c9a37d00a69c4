// Tables in and out of the running program, offscreen: the import dialog's
// guesses, choices and refused rows, and the new file read into an empty
// slot; the events on the line as a table.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/table_import_dialog.h"
#include "lists/table_text.h"
#include "text/cp932.h"

using namespace qev::literals;

namespace qev {
namespace {

const ScreenLayout kLayout{800, 600};

QStringList Refused(const TableImportDialog& dialog) {
  QStringList rows;
  for (int i = 0; i < dialog.refusedList()->count(); ++i)
    rows << dialog.refusedList()->item(i)->text();
  return rows;
}

class TableFilesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void TheDialogShowsItsGuessesAndWhatItLeavesOut() {
    std::vector<Sjis> written;
    std::string name;
    std::string title;
    TableImportDialog dialog(
        QStringLiteral("/tmp/年表.csv"),
        ReadTable(
            "\xEF\xBB\xBF年,できごと\r\n794,平安京\r\n,年のない行\r\n1185,\"鎌倉, 幕府\"\r\n"),
        [&](const std::string& n, const std::string& t, const std::vector<Sjis>& lines) {
          name = n;
          title = t;
          written = lines;
          return std::string();
        },
        nullptr);
    auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QCOMPARE(dialog.roleBox(0)->currentText(), QStringLiteral("年"));
    QCOMPARE(dialog.roleBox(1)->currentText(), QStringLiteral("できごと"));
    QVERIFY(dialog.headerBox()->isChecked());
    QCOMPARE(Refused(dialog), QStringList{QStringLiteral("3 行目: 年がありません。")});
    QCOMPARE(ok->text(), QStringLiteral("2 件を読み込む"));

    // The learner's choices are read at once.
    dialog.headerBox()->setChecked(false);
    QCOMPARE(Refused(dialog).front(), QStringLiteral("1 行目: 「年」は年として読めません。"));
    dialog.headerBox()->setChecked(true);
    dialog.roleBox(0)->setCurrentIndex(dialog.roleBox(0)->findText(QStringLiteral("(使わない)")));
    QCOMPARE(Refused(dialog).size(), 3);
    QVERIFY(!ok->isEnabled());
    dialog.roleBox(0)->setCurrentIndex(dialog.roleBox(0)->findText(QStringLiteral("年")));

    QVERIFY(written.empty());
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(written,
             (std::vector<Sjis>{"AD0794;3,1,,;;平安京;;;"_sj, "AD1185;3,1,,;;鎌倉, 幕府;;;"_sj}));
    // The file's name and title start as the table's name.
    QCOMPARE(name, std::string("年表"));
    QCOMPARE(title, std::string("年表"));
  }

  void TheNewFileGoesIntoAnEmptySlotAndOntoTheLine() {
    QTemporaryDir dir;
    Application app(kLayout, dir.path().toStdString());
    app.Start();
    QTRY_VERIFY(app.firstPaintDone());
    const std::vector<Sjis> lines{"BC0091;3,1,,;;ある出来事;;;"_sj,
                                  "AD0794;4,2,,;平安;平安京;;;"_sj};
    const ImportOutcome outcome = app.view().ImportEvents("年表", "先生の年表", lines);
    QVERIFY2(outcome.problem.empty(), outcome.problem.c_str());
    QCOMPARE(outcome.fileName, std::string("年表.txt"));
    QCOMPARE(outcome.slot, std::optional<int>(0));
    std::vector<Sjis> onLine;
    for (const ListedEvent& e : app.view().LineEvents()) {
      QCOMPARE(e.file, "先生の年表"_sj);
      onLine.push_back(e.line);
    }
    QCOMPARE(onLine, lines);
    // Never over the file just written.
    QVERIFY(!app.view().ImportEvents("年表", "", lines).problem.empty());
  }
};

}  // namespace
}  // namespace qev

QTEST_MAIN(qev::TableFilesTest)
#include "table_files_test.moc"
