// The find window and the event dialog, offscreen: a search chosen and
// stepped through, an event added through the dialog and its file saved;
// the one question at closing; the menus and windows within an 800x600
// screen.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/event_dialog.h"
#include "app/find_window.h"
#include "app/getting_started_window.h"
#include "app/study_record_window.h"
#include "state/operating_state_text.h"
#include "text/cp932.h"

using namespace qev::literals;

namespace qev {
namespace {

const ScreenLayout kLayout{800, 600};

std::string ReadAll(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Cp932(std::string_view utf8) {
  return EncodeCp932(utf8).bytes;
}

// A data folder with one file of three events, read into slot ①.
class EventFolder {
 public:
  EventFolder() {
    std::ofstream(file().toStdString(), std::ios::binary) << Cp932(
        "H;日本史;;2026年01月05日09時00分;\r\n"
        "AD0710;3,1,,;奈良;平城京;;;\r\n"
        "AD0794;3,1,,;平安;平安京;;;\r\n"
        "AD1192;3,1,,;鎌倉;鎌倉幕府;;;\r\n;\r\n");
    OperatingState state;
    state.rangeIndex = 8;
    state.savedScrollPos = 350;
    std::ofstream(dir_.filePath(QStringLiteral("動作状態10.txt")).toStdString(), std::ios::binary)
        << ComposeStateText(state, "動作状態10"_sj, "2026年01月05日09時00分"_sj) + ";\r\n"_sj;
  }
  QString file() const { return dir_.filePath(QStringLiteral("歴史文書20.txt")); }
  std::string path() const { return dir_.path().toStdString(); }

 private:
  QTemporaryDir dir_;
};

std::string SelectedLine(Application& app) {
  return std::string(app.view().desk()->SelectedEvent()->line);
}

class EventWindowsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void SearchChosenAndSteppedThrough() {
    EventFolder folder;
    Application app(kLayout, folder.path());
    app.Start();
    QTRY_VERIFY(app.firstPaintDone());

    Q_EMIT app.window().commandRequested(KeyCommand::kFind);
    auto* find = app.window().findChild<FindWindow*>();
    QVERIFY(find != nullptr && find->isVisible());
    auto* query = find->findChild<QLineEdit*>();
    // 京 is in 平城京 and 平安京: two results, in date order.
    query->setText(QStringLiteral("京"));
    QCOMPARE(find->resultCount(), 2);
    QTest::keyClick(query, Qt::Key_Down);
    QTest::keyClick(query, Qt::Key_Return);
    QCOMPARE(SelectedLine(app), Cp932("AD0794;3,1,,;平安;平安京;;;"));
    QVERIFY(!find->isVisible());
    QVERIFY(app.viewWidget().hasFocus());
    QTest::keyClick(&app.viewWidget(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(SelectedLine(app), Cp932("AD0710;3,1,,;奈良;平城京;;;"));

    // A year typed in full-width digits finds the event of that year.
    Q_EMIT app.window().commandRequested(KeyCommand::kFind);
    query->setText(QStringLiteral("１１９２"));
    QTest::keyClick(query, Qt::Key_Return);
    QCOMPARE(SelectedLine(app), Cp932("AD1192;3,1,,;鎌倉;鎌倉幕府;;;"));
  }

  void AddedThroughTheDialogAndSaved() {
    EventFolder folder;
    const QString file = folder.file();
    Application app(kLayout, folder.path());
    app.Start();
    QTRY_VERIFY(app.firstPaintDone());

    // The dialog is modal: it is filled in once it shows.
    bool filled = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<EventDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->findChild<QSpinBox*>(QStringLiteral("year"))->setValue(800);
      dialog->findChild<QLineEdit*>(QStringLiteral("period"))->setText(QStringLiteral("平安"));
      dialog->findChild<QLineEdit*>(QStringLiteral("event"))->setText(QStringLiteral("大仏"));
      dialog->findChild<QLineEdit*>(QStringLiteral("memo1"))->setText(QStringLiteral("x;y"));
      dialog->findChild<QComboBox*>(QStringLiteral("importance"))->setCurrentIndex(4);
      filled = true;
      dialog->accept();
    });
    Q_EMIT app.window().commandRequested(KeyCommand::kAddEvent);
    QVERIFY(filled);

    // Into the file after the last line not later than AD 800, selected.
    const std::string added = Cp932("AD0800;5,1,,;平安;大仏;x；y;;");
    QCOMPARE(SelectedLine(app), added);

    app.platform().menuAnswers.push_back(MenuCommand::kSave);
    app.platform().dialogAnswers.push_back(file.toStdString());
    const QPoint slotLabel(kLayout.X(30), kLayout.row3() + 2);
    QTest::mouseClick(&app.viewWidget(), Qt::RightButton, {}, slotLabel);
    const std::string saved = ReadAll(file);
    const std::string savedBody = saved.substr(saved.find("\r\n") + 2);
    QCOMPARE(savedBody, Cp932("AD0710;3,1,,;奈良;平城京;;;\r\n"
                              "AD0794;3,1,,;平安;平安京;;;\r\n") +
                            added + "\r\n" + Cp932("AD1192;3,1,,;鎌倉;鎌倉幕府;;;\r\n;\r\n"));
    QVERIFY(saved.starts_with(Cp932("H;歴史文書20;;")));
  }

  // With a changed file, closing asks one question with 保存 as the default
  // and Esc as キャンセル: キャンセル keeps the window and the file; 保存
  // writes the file it was read from and closes.
  void ClosingAsksOnce() {
    EventFolder folder;
    const std::string before = ReadAll(folder.file());
    Application app(kLayout, folder.path());
    app.Start();
    QTRY_VERIFY(app.firstPaintDone());
    const std::string added = Cp932("AD0800;5,1,,;平安;大仏;;;");
    app.view().desk()->AddEvent(0, Sjis(added));

    struct Row {
      bool save;
      bool closes;
    };
    for (const Row& r : {Row{false, false}, Row{true, true}}) {
      int asked = 0;
      std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return QTimer::singleShot(10, answer);
        ++asked;
        QStringList texts;
        for (QAbstractButton* b : box->buttons()) texts << b->text();
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("キャンセル"), QStringLiteral("保存"),
                                     QStringLiteral("保存しない")}));
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("保存"));
        QVERIFY(box->text().contains(QStringLiteral("歴史文書20.txt")));
        if (r.save) {
          box->defaultButton()->click();
        } else {
          QTest::keyClick(box, Qt::Key_Escape);
        }
      };
      QTimer::singleShot(0, answer);
      QCOMPARE(app.window().close(), r.closes);
      QCOMPARE(asked, 1);
      const std::string now = ReadAll(folder.file());
      QCOMPARE(now.find(added) != std::string::npos, r.save);
      if (!r.save) {
        QCOMPARE(now, before);
      }
    }
  }

  // At 800x600 the menus show in one column each, within the screen; the
  // record and the first-steps page fit it with their close buttons; Esc
  // closes the record; the find window's date column is as wide as its
  // dates, the event text wider.
  void MenusAndWindowsFitTheScreen() {
    EventFolder folder;
    Application app(kLayout, folder.path());
    app.Start();
    QTRY_VERIFY(app.firstPaintDone());
    const QRect available = app.window().screen()->availableGeometry();
    const QRect screen = available.intersected(QRect(available.topLeft(), QSize(800, 600)));

    const QList<QAction*> menus = app.window().menuBar()->actions();
    QCOMPARE(menus.size(), 5);
    for (QAction* m : menus) {
      QMenu* menu = m->menu();
      const QSize size = menu->sizeHint();
      QVERIFY2(size.height() <= screen.height() - app.window().menuBar()->height(),
               qPrintable(m->text()));
      for (QAction* a : menu->actions()) {
        QCOMPARE(menu->actionGeometry(a).left(), menu->actionGeometry(menu->actions()[0]).left());
      }
    }

    Q_EMIT app.window().actionRequested(WindowAction::kStudyRecord);
    StudyRecordWindow* record = app.studyRecordWindow();
    QVERIFY(record != nullptr && record->isVisible());
    QVERIFY(screen.contains(record->frameGeometry()));
    QVERIFY(record->countedText().contains(
        QStringLiteral("表示中のファイルとフィルタのできごと 3 件")));
    // Without answers to fit, the defaults stay and the window says how
    // many more it needs.
    record->findChild<QPushButton*>(QStringLiteral("optimize"))->click();
    QTRY_VERIFY(!record->fitting());
    QVERIFY2(record->modelText().contains(QStringLiteral("あと 400 件必要")),
             qPrintable(record->modelText()));
    QPushButton* close = nullptr;
    for (QPushButton* b : record->findChildren<QPushButton*>()) {
      if (b->text() == QStringLiteral("閉じる")) close = b;
    }
    QVERIFY(close != nullptr && close->isVisible());
    QVERIFY(record->rect().contains(close->geometry().translated(close->parentWidget()->pos())));
    QTest::keyClick(record, Qt::Key_Escape);
    QVERIFY(!record->isVisible());

    Q_EMIT app.window().actionRequested(WindowAction::kGettingStarted);
    GettingStartedWindow* start = app.gettingStartedWindow();
    QVERIFY(start != nullptr && start->isVisible());
    QVERIFY(screen.contains(start->frameGeometry()));
    for (const char* part : {"確認テスト", "学習の記録", "Ctrl+F", "Ctrl+N", "Shift+R"}) {
      QVERIFY2(start->pageText().contains(QString::fromUtf8(part)), part);
    }
    QTest::keyClick(start, Qt::Key_Escape);
    QVERIFY(!start->isVisible());

    Q_EMIT app.window().commandRequested(KeyCommand::kFind);
    auto* find = app.window().findChild<FindWindow*>();
    find->findChild<QLineEdit*>()->setText(QStringLiteral("京"));
    const QTreeView& list = find->list();
    const QString date = list.model()->index(0, 0).data().toString();
    QVERIFY(list.columnWidth(0) >= list.fontMetrics().horizontalAdvance(date));
    QVERIFY(list.columnWidth(0) < 2 * list.fontMetrics().horizontalAdvance(date) + 40);
    QVERIFY(list.columnWidth(1) > list.columnWidth(0));
  }
};

}  // namespace
}  // namespace qev

QTEST_MAIN(qev::EventWindowsTest)
#include "event_windows_test.moc"
