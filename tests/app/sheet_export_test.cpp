#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include "app/sheet_export.h"
#include "text/cp932.h"

namespace qev {

class SheetExportTest : public QObject {
  Q_OBJECT

 private:
  // Events every 20 years from BC 2000 to AD 2000, each label Japanese and
  // numbered, every fifth one an approximate range.
  static SheetSource Source() {
    SheetSource source;
    source.rangeIndex = 7;
    for (int year = -2000, n = 0; year <= 2000; year += 20, ++n) {
      SheetEntry e;
      e.bc = year < 0;
      e.year = year < 0 ? -year : year;
      std::string label = "できごと" + std::to_string(n);
      if (n % 5 == 0) {
        e.hasEnd = true;
        e.endBc = e.bc && e.year > 10;
        e.endYear = e.endBc ? e.year - 10 : e.year + 10;
        label += "ころ";
      }
      e.label = EncodeCp932(label).bytes;
      source.entries.push_back(std::move(e));
    }
    return source;
  }

 private Q_SLOTS:
  // The PDF holds every label as text, on A4 pages numbered n/N.
  void PdfCarriesEveryLabelAsText() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      QSKIP("pdftotext (poppler-utils) is not installed");
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const SheetSource source = Source();
    QCOMPARE(ExportTimeline(source, {800, 600}, pdf), QString());
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString all = QString::fromUtf8(text.readAllStandardOutput());
    const int pages = static_cast<int>(all.count(u'\f'));
    QVERIFY(pages >= 3);
    for (int p = 1; p <= pages; ++p) {
      QVERIFY(all.contains(QStringLiteral("%1/%2").arg(p).arg(pages)));
    }
    for (std::size_t n = 0; n < source.entries.size(); ++n) {
      const QString label = QString::fromStdString(DecodeCp932(source.entries[n].label));
      // The number must not run on into another digit.
      QVERIFY2(all.contains(QRegularExpression(QRegularExpression::escape(label) + "(?!\\d)")),
               qPrintable(label));
    }
  }

  // The picture holds the same pages, one under another; other names are
  // refused with a message, and so is a sheet without events.
  void PngHoldsThePagesOneUnderAnother() {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("sheet.png"));
    QCOMPARE(ExportTimeline(Source(), {800, 600}, png), QString());
    const QImage image(png);
    const SheetMetrics a4;
    QCOMPARE(image.width(), a4.pageWidth);
    QCOMPARE(image.height() % a4.pageHeight, 0);
    QVERIFY(image.height() / a4.pageHeight >= 3);
    QVERIFY(!ExportTimeline(Source(), {800, 600}, dir.filePath(QStringLiteral("a.txt"))).isEmpty());
    QVERIFY(!ExportTimeline(SheetSource{}, {800, 600}, png).isEmpty());
  }
};

}  // namespace qev

QTEST_MAIN(qev::SheetExportTest)
#include "sheet_export_test.moc"
