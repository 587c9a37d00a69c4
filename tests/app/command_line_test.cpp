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

  void DataFolderIsGivenElseHereElseBesideTheProgram() {
    QTemporaryDir here;
    QTemporaryDir program;
    QVERIFY(here.isValid() && program.isValid());
    const std::string beside = (program.path() + "/qev_file").toStdString();
    QCOMPARE(ResolveDataDir({}, here.path(), program.path()), beside);
    QVERIFY(QDir(here.path()).mkdir(QStringLiteral("qev_file")));
    QCOMPARE(ResolveDataDir({}, here.path(), program.path()),
             (here.path() + "/qev_file").toStdString());
    QCOMPARE(ResolveDataDir("mine", here.path(), program.path()),
             (here.path() + "/mine").toStdString());
    QCOMPARE(ResolveDataDir("/data/qev", here.path(), program.path()), std::string("/data/qev"));
    // A Shift-JIS name keeps its bytes.
    QCOMPARE(ResolveDataDir("\x83\x66\x81\x5B\x83\x5E", here.path(), program.path()),
             here.path().toStdString() + "/\x83\x66\x81\x5B\x83\x5E");
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
