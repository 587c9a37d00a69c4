#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/command_line.h"

namespace qev {

class CommandLineTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ScreenSizeIsWidthByHeightWithinLimits() {
    QCOMPARE(ParseScreenSize(QStringLiteral("800x600")), std::optional<QSize>(QSize(800, 600)));
    QCOMPARE(ParseScreenSize(QStringLiteral("1024X768")), std::optional<QSize>(QSize(1024, 768)));
    QCOMPARE(ParseScreenSize(QStringLiteral("400x500")), std::optional<QSize>(QSize(400, 500)));
    // Below one layout unit across or down, the layout divides by zero.
    QCOMPARE(ParseScreenSize(QStringLiteral("399x600")), std::nullopt);
    QCOMPARE(ParseScreenSize(QStringLiteral("800x499")), std::nullopt);
    QCOMPARE(ParseScreenSize(QStringLiteral("99999x600")), std::nullopt);
    QCOMPARE(ParseScreenSize(QStringLiteral("800")), std::nullopt);
    QCOMPARE(ParseScreenSize(QStringLiteral("800x600x2")), std::nullopt);
    QCOMPARE(ParseScreenSize(QStringLiteral("-800x600")), std::nullopt);
    QCOMPARE(ParseScreenSize(QString()), std::nullopt);
  }

  // A screenshot may be scaled below the smallest screen, not to nothing.
  void PictureSizeIsAnyWidthByHeightUpToTheLimit() {
    QCOMPARE(ParsePictureSize(QStringLiteral("512x384")), std::optional<QSize>(QSize(512, 384)));
    QCOMPARE(ParsePictureSize(QStringLiteral("1x1")), std::optional<QSize>(QSize(1, 1)));
    QCOMPARE(ParsePictureSize(QStringLiteral("0x384")), std::nullopt);
    QCOMPARE(ParsePictureSize(QStringLiteral("512x16385")), std::nullopt);
    QCOMPARE(ParsePictureSize(QStringLiteral("512 384")), std::nullopt);
  }

  void DataFolderIsGivenElseHereElseBesideTheProgramElseTheUsersOwn() {
    QTemporaryDir here;
    QTemporaryDir program;
    QTemporaryDir home;
    QVERIFY(here.isValid() && program.isValid() && home.isValid());
    auto resolve = [&](const std::string& given) {
      return ResolveDataDir(given, here.path(), program.path(), home.path());
    };
    const std::string own = (home.path() + "/qevline/qev_file").toStdString();
    QCOMPARE(UserDataDir(home.path()).toStdString(), own);
    QCOMPARE(resolve({}), own);
    QVERIFY(QDir(program.path()).mkdir(QStringLiteral("qev_file")));
    QCOMPARE(resolve({}), (program.path() + "/qev_file").toStdString());
    QVERIFY(QDir(here.path()).mkdir(QStringLiteral("qev_file")));
    QCOMPARE(resolve({}), (here.path() + "/qev_file").toStdString());
    QCOMPARE(resolve("mine"), (here.path() + "/mine").toStdString());
    QCOMPARE(resolve("/data/qev"), std::string("/data/qev"));
    // A Shift-JIS name keeps its bytes.
    QCOMPARE(resolve("\x83\x66\x81\x5B\x83\x5E"),
             here.path().toStdString() + "/\x83\x66\x81\x5B\x83\x5E");
    QCOMPARE(InstalledSamplesDir(QStringLiteral("/opt/qev/bin")),
             QStringLiteral("/opt/qev/share/qevline/qev_file"));
  }

  // The first start makes the user's folder from the installed samples,
  // writable even where the samples are not; a later start changes nothing.
  void UsersFolderIsMadeOnceFromTheSamples() {
    QTemporaryDir samples;
    QTemporaryDir home;
    QVERIFY(samples.isValid() && home.isValid());
    const QString state = QStringLiteral("動作状態10.txt");
    const QString events = QStringLiteral("日本史(古代).txt");
    for (const QString& name : {state, events}) {
      QFile file(samples.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("sample " + name.toUtf8());
      file.close();
      QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    QVERIFY(QDir(samples.path()).mkdir(QStringLiteral("sub")));
    const QString folder = UserDataDir(home.path());

    QCOMPARE(PrepareDataDir(folder, samples.path()), QString());
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({state, events}));
    QFile copied(QDir(folder).filePath(events));
    QVERIFY(copied.open(QIODevice::ReadWrite));
    QCOMPARE(copied.readAll(), "sample " + events.toUtf8());
    copied.resize(0);
    copied.write("mine");
    copied.close();
    QVERIFY(QFile::remove(QDir(folder).filePath(state)));

    QCOMPARE(PrepareDataDir(folder, samples.path()), QString());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{events});
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("mine"));

    // No samples installed: an empty folder, still made.
    QTemporaryDir other;
    const QString empty = UserDataDir(other.path());
    QCOMPARE(PrepareDataDir(empty, other.filePath(QStringLiteral("none"))), QString());
    QVERIFY(QFileInfo(empty).isDir());
  }

  void UnmakeableUsersFolderIsSaid() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QFile blocker(home.filePath(QStringLiteral("qevline")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString problem = PrepareDataDir(UserDataDir(home.path()), home.path());
    QVERIFY2(problem.startsWith(QStringLiteral("Cannot create the data folder ")),
             qPrintable(problem));
  }

  void ArgumentsKeepTheBytesGiven() {
    const std::string sjis = "\x97\xF0\x8E\x6A.txt";  // 歴史.txt in Shift-JIS
    const std::vector<std::string> raw{"qevline", "--data-dir=" + sjis, "--check", sjis, "b.txt",
                                       sjis};
    const QString decoded = QString::fromLocal8Bit(sjis);
    QCOMPARE(ArgumentsAsGiven({decoded, "b.txt", decoded}, raw),
             (std::vector<std::string>{sjis, "b.txt", sjis}));
    QCOMPARE(ArgumentsAsGiven({"gone.txt"}, raw), std::vector<std::string>{"gone.txt"});
  }
};

}  // namespace qev

QTEST_MAIN(qev::CommandLineTest)
#include "command_line_test.moc"
