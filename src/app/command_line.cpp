#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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

// The arguments exactly as the program was started with them; Qt's own
// list has names that are not UTF-8 already decoded, and lossily.
std::vector<std::string> RawArguments(const QCoreApplication& app) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::vector<std::string> raw;
  for (std::string arg; std::getline(in, arg, '\0');) raw.push_back(arg);
  if (raw.empty()) {
    for (const QString& arg : app.arguments()) raw.push_back(arg.toLocal8Bit().toStdString());
  }
  return raw;
}

}  // namespace

std::vector<std::string> ArgumentsAsGiven(const QStringList& parsed,
                                          const std::vector<std::string>& raw) {
  std::vector<std::string> bytes;
  std::size_t next = 0;
  for (const QString& value : parsed) {
    std::optional<std::string> found;
    for (std::size_t i = next; i < raw.size() && !found; ++i) {
      const std::string& arg = raw[i];
      const std::size_t eq = arg.find('=');
      if (QString::fromLocal8Bit(arg) == value) {
        found = arg;
      } else if (arg.starts_with('-') && eq != std::string::npos &&
                 QString::fromLocal8Bit(arg.substr(eq + 1)) == value) {
        found = arg.substr(eq + 1);
      }
      if (found) next = i + 1;
    }
    bytes.push_back(found ? *found : value.toLocal8Bit().toStdString());
  }
  return bytes;
}

bool NeedsNoWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
        arg == "--version" || arg == "--check" || arg == "--import" ||
        arg.starts_with("--import=")) {
      return true;
    }
  }
  return false;
}

bool DrawsOffScreen(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    for (std::string_view option : {"--screenshot", "--export", "--export-table", "--export-deck",
                                    "--study-report", "--optimize-memory"}) {
      if (arg == option ||
          (arg.starts_with(option) && arg.size() > option.size() && arg[option.size()] == '=')) {
        return true;
      }
    }
  }
  return false;
}

CommandLine ReadCommandLine(const QCoreApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "QEV Line: a zigzag timeline for memorising the dates of historical events.\n\n"
      "The event files, the state file and every save live in the data folder,\n"
      "the first of:\n"
      "  1. the folder given with --data-dir;\n"
      "  2. qev_file in the current folder, if there is one;\n"
      "  3. qev_file beside the program, if there is one;\n"
      "  4. $XDG_DATA_HOME/qevline/qev_file (~/.local/share/qevline/qev_file),\n"
      "     made on the first start with a copy of the sample event files."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption dataDir(
      QStringLiteral("data-dir"),
      QStringLiteral("Folder of the event files and the state file (default: as above)."),
      QStringLiteral("DIR"));
  const QCommandLineOption screen(
      QStringLiteral("screen"),
      QStringLiteral("Screen size the window is laid out for, e.g. 800x600 "
                     "(default: the room the maximised window has)."),
      QStringLiteral("WxH"));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Start, draw the first page, save the view as a PNG image and exit."),
      QStringLiteral("FILE"));
  const QCommandLineOption screenshotSize(
      QStringLiteral("screenshot-size"),
      QStringLiteral("Scale the screenshot to WxH, e.g. 512x384 (default: the screen size)."),
      QStringLiteral("WxH"));
  const QCommandLineOption exportFile(
      QStringLiteral("export"),
      QStringLiteral("Print the whole timeline into FILE.pdf (A4 pages) or FILE.png and exit."),
      QStringLiteral("FILE"));
  const QCommandLineOption exportRange(
      QStringLiteral("range"),
      QStringLiteral("Range 0..20 to print at, with --export (default: the saved one)."),
      QStringLiteral("N"));
  const QCommandLineOption check(QStringLiteral("check"),
                                 QStringLiteral("Check the event files given and exit."));
  const QCommandLineOption importTable(
      QStringLiteral("import"),
      QStringLiteral("Read a table (CSV or tab-separated, UTF-8 or Shift-JIS) into a new event "
                     "file in the data folder, listing the rows left out, and exit."),
      QStringLiteral("FILE"));
  const QCommandLineOption importTitle(QStringLiteral("title"),
                                       QStringLiteral("The new event file's title, with --import."),
                                       QStringLiteral("TITLE"));
  const QCommandLineOption importName(
      QStringLiteral("out"),
      QStringLiteral("The new event file's name, with --import (default: the title)."),
      QStringLiteral("NAME.txt"));
  const QCommandLineOption exportTable(
      QStringLiteral("export-table"),
      QStringLiteral("Write the events of the files given (default: those on the line as "
                     "the saved operating state shows it) into OUT.csv or OUT.tsv and exit."),
      QStringLiteral("OUT"));
  const QCommandLineOption exportDeck(
      QStringLiteral("export-deck"),
      QStringLiteral("Write the same events as a deck for Anki's text import and exit."),
      QStringLiteral("OUT.txt"));
  const QCommandLineOption studyReport(
      QStringLiteral("study-report"),
      QStringLiteral("Print the self-test's figures as key: value lines (due and new cards today, "
                     "the memory model's parameters and how well they predict the study log) "
                     "and exit."));
  const QCommandLineOption studyCards(
      QStringLiteral("cards"),
      QStringLiteral("With --study-report, a line per card: its memory, due date and recall."));
  const QCommandLineOption optimizeMemory(
      QStringLiteral("optimize-memory"),
      QStringLiteral("Fit the memory model to the study log as the record's button does, keep "
                     "the parameters when they predict better, print the figures and exit."));
  parser.addOptions({dataDir, screen, screenshot, screenshotSize, exportFile, exportRange, check,
                     importTable, importTitle, importName, exportTable, exportDeck, studyReport,
                     studyCards, optimizeMemory});
  parser.addPositionalArgument(
      QStringLiteral("files"),
      QStringLiteral("Event files to check (with --check) or to write out (with --export-table "
                     "or --export-deck)."),
      QStringLiteral("[FILE...]"));
  parser.process(app);

  CommandLine result;
  const std::vector<std::string> raw = RawArguments(app);
  if (parser.isSet(dataDir)) result.dataDir = ArgumentsAsGiven({parser.value(dataDir)}, raw)[0];
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
  result.exportFile = parser.value(exportFile);
  if (!result.exportFile.isEmpty()) {
    const QString suffix = QFileInfo(result.exportFile).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("png")) {
      Fail(QStringLiteral("--export wants a file ending in .pdf or .png; got \"%1\".")
               .arg(result.exportFile));
    }
  }
  if (parser.isSet(exportRange)) {
    bool ok = false;
    const int range = parser.value(exportRange).toInt(&ok);
    if (!ok || range < 0 || range > 20) {
      Fail(QStringLiteral("--range wants a number from 0 to 20; got \"%1\".")
               .arg(parser.value(exportRange)));
    }
    if (result.exportFile.isEmpty()) Fail(QStringLiteral("--range needs --export."));
    result.exportRange = range;
  }
  result.check = parser.isSet(check);
  if (parser.isSet(importTable)) {
    result.importTable = ArgumentsAsGiven({parser.value(importTable)}, raw)[0];
    result.importTitle = parser.value(importTitle).toStdString();
    result.importName = parser.value(importName).toStdString();
    if (result.importTitle.empty()) Fail(QStringLiteral("--import needs --title TITLE."));
  } else if (parser.isSet(importTitle) || parser.isSet(importName)) {
    Fail(QStringLiteral("--title and --out need --import."));
  }
  result.exportTable = parser.value(exportTable);
  if (!result.exportTable.isEmpty()) {
    const QString suffix = QFileInfo(result.exportTable).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("tsv")) {
      Fail(QStringLiteral("--export-table wants a file ending in .csv or .tsv; got \"%1\".")
               .arg(result.exportTable));
    }
  }
  result.exportDeck = parser.value(exportDeck);
  result.studyReport = parser.isSet(studyReport);
  result.studyCards = parser.isSet(studyCards);
  result.optimizeMemory = parser.isSet(optimizeMemory);
  if (result.studyCards && !result.studyReport)
    Fail(QStringLiteral("--cards needs --study-report."));
  result.files = ArgumentsAsGiven(parser.positionalArguments(), raw);
  if (!result.check && result.exportTable.isEmpty() && result.exportDeck.isEmpty() &&
      !result.files.empty()) {
    Fail(QStringLiteral("Files are only taken with --check, --export-table or --export-deck."));
  }
  return result;
}

std::optional<QSize> ParseScreenSize(const QString& text) {
  return ParseSize(text, kMinimumScreen);
}

std::optional<QSize> ParsePictureSize(const QString& text) {
  return ParseSize(text, QSize(1, 1));
}

std::string ResolveDataDir(const std::string& given, const QString& currentDir,
                           const QString& appDir, const QString& dataHome) {
  if (given.starts_with('/')) return given;
  if (!given.empty()) return QFile::encodeName(currentDir).toStdString() + "/" + given;
  for (const QString& folder : {currentDir, appDir}) {
    const QString candidate = QDir(folder).absoluteFilePath(QLatin1String(kDataFolderName));
    if (QFileInfo(candidate).isDir()) return QFile::encodeName(candidate).toStdString();
  }
  return QFile::encodeName(UserDataDir(dataHome)).toStdString();
}

QString UserDataDir(const QString& dataHome) {
  return QDir::cleanPath(dataHome + QStringLiteral("/qevline/") + QLatin1String(kDataFolderName));
}

QString InstalledSamplesDir(const QString& appDir) {
  return QDir::cleanPath(appDir + QStringLiteral("/" QEV_SAMPLES_FROM_BIN));
}

QString PrepareDataDir(const QString& folder, const QString& samples) {
  if (QFileInfo::exists(folder)) return {};
  if (!QDir().mkpath(folder))
    return QStringLiteral("Cannot create the data folder %1.").arg(folder);
  QStringList failed;
  const QFileInfoList files = QDir(samples).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
  for (const QFileInfo& file : files) {
    const QString target = QDir(folder).filePath(file.fileName());
    if (QFileInfo::exists(target)) continue;
    // The installed files may be read-only; the user's copies are theirs
    // to edit and save over.
    if (!QFile::copy(file.filePath(), target) ||
        !QFile::setPermissions(
            target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther)) {
      failed << file.fileName();
    }
  }
  if (!failed.isEmpty()) {
    return QStringLiteral("Cannot copy the sample files %1 from %2 into %3.")
        .arg(failed.join(QStringLiteral(", ")), samples, folder);
  }
  return {};
}

}  // namespace qev
