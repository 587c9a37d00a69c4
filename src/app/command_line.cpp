#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace qev {
namespace {

constexpr int kMaximumScreenSide = 16384;
const char* const kDataFolderName = "qev_file";

std::optional<QSize> ParseSize(const QString& text, QSize minimum) {
  static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
  const QRegularExpressionMatch match = pattern.match(text.trimmed());
  if (!match.hasMatch()) return std::nullopt;
  const int width = match.captured(1).toInt();
  const int height = match.captured(2).toInt();
  if (width < minimum.width() || height < minimum.height() || width > kMaximumScreenSide ||
      height > kMaximumScreenSide) {
    return std::nullopt;
  }
  return QSize(width, height);
}

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "%s\n", qPrintable(message));
  std::exit(EXIT_FAILURE);
}

}  // namespace

bool NeedsNoWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
        arg == "--version" || arg == "--check") {
      return true;
    }
  }
  return false;
}

CommandLine ReadCommandLine(const QCoreApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("QEV Line: a zigzag timeline for memorising the dates of historical events."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption dataDir(
      QStringLiteral("data-dir"),
      QStringLiteral("Folder of the event files and the state file "
                     "(default: qev_file here or beside the program)."),
      QStringLiteral("DIR"));
  const QCommandLineOption screen(
      QStringLiteral("screen"),
      QStringLiteral("Screen size the window is laid out for, e.g. 800x600 "
                     "(default: the primary screen)."),
      QStringLiteral("WxH"));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Start, draw the first page, save the view as a PNG image and exit."),
      QStringLiteral("FILE"));
  const QCommandLineOption screenshotSize(
      QStringLiteral("screenshot-size"),
      QStringLiteral("Scale the screenshot to WxH, e.g. 512x384 (default: the screen size)."),
      QStringLiteral("WxH"));
  const QCommandLineOption check(QStringLiteral("check"),
                                 QStringLiteral("Check the event files given and exit."));
  parser.addOptions({dataDir, screen, screenshot, screenshotSize, check});
  parser.addPositionalArgument(QStringLiteral("files"),
                               QStringLiteral("Event files to check (with --check)."),
                               QStringLiteral("[FILE...]"));
  parser.process(app);

  CommandLine result;
  result.dataDir = parser.value(dataDir);
  if (parser.isSet(screen)) {
    result.screen = ParseScreenSize(parser.value(screen));
    if (!result.screen) {
      Fail(QStringLiteral("--screen wants WxH from %1x%2 to %3x%3, e.g. 800x600; got \"%4\".")
               .arg(kMinimumScreen.width())
               .arg(kMinimumScreen.height())
               .arg(kMaximumScreenSide)
               .arg(parser.value(screen)));
    }
  }
  result.screenshot = parser.value(screenshot);
  if (parser.isSet(screenshotSize)) {
    result.screenshotSize = ParsePictureSize(parser.value(screenshotSize));
    if (!result.screenshotSize) {
      Fail(
          QStringLiteral("--screenshot-size wants WxH from 1x1 to %1x%1, e.g. 512x384; got \"%2\".")
              .arg(kMaximumScreenSide)
              .arg(parser.value(screenshotSize)));
    }
    if (result.screenshot.isEmpty()) Fail(QStringLiteral("--screenshot-size needs --screenshot."));
  }
  result.check = parser.isSet(check);
  result.checkFiles = parser.positionalArguments();
  if (!result.check && !result.checkFiles.isEmpty()) {
    Fail(QStringLiteral("Files are only taken with --check."));
  }
  return result;
}

std::optional<QSize> ParseScreenSize(const QString& text) {
  return ParseSize(text, kMinimumScreen);
}

std::optional<QSize> ParsePictureSize(const QString& text) {
  return ParseSize(text, QSize(1, 1));
}

QString ResolveDataDir(const QString& given, const QString& currentDir, const QString& appDir) {
  if (!given.isEmpty()) return QDir(currentDir).absoluteFilePath(given);
  const QString here = QDir(currentDir).absoluteFilePath(QLatin1String(kDataFolderName));
  if (QFileInfo(here).isDir()) return here;
  return QDir(appDir).absoluteFilePath(QLatin1String(kDataFolderName));
}

}  // namespace qev
