#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/check.h"
#include "app/command_line.h"
#include "app/list_files.h"
#include "app/screen_fit.h"
#include "app/sheet_export.h"

namespace {

void SetIdentity() {
  QCoreApplication::setApplicationName(QStringLiteral("qevline"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(QEV_VERSION));
}

// Qt's own texts (the file dialog, the buttons of the questions) in
// Japanese, as everything else the program says. Without the translation
// installed they stay in English.
void TranslateQt(QApplication& app, QTranslator& translator) {
  if (translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(&translator);
  }
}

// The data folder to use, the user's own made on its first use (`made`
// then says so). What goes wrong there is told, and the program still
// starts: on the folder as far as it was made, where a save says why it
// fails.
std::string DataDir(const qev::CommandLine& options, bool unattended, bool& made) {
  const QString appDir = QCoreApplication::applicationDirPath();
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  const std::string dataDir =
      qev::ResolveDataDir(options.dataDir, QDir::currentPath(), appDir, dataHome);
  const QString userDir = qev::UserDataDir(dataHome);
  if (dataDir != QFile::encodeName(userDir).toStdString()) return dataDir;
  made = !QFileInfo::exists(userDir);
  const QString problem = qev::PrepareDataDir(userDir, qev::InstalledSamplesDir(appDir));
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(problem));
    if (!unattended) QMessageBox::warning(nullptr, QStringLiteral("QEV Line"), problem);
  }
  return dataDir;
}

// A command that prints its result for scripts says only what it has to:
// the window system's notes about running without a screen are dropped.
void KeepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Help, version, the line check and a table import run without a window.
  if (qev::NeedsNoWindow(argc, argv)) {
    QCoreApplication app(argc, argv);
    SetIdentity();
    const qev::CommandLine options = qev::ReadCommandLine(app);
    if (!options.importTable.empty()) {
      bool made = false;
      return qev::RunImport(options, DataDir(options, true, made));
    }
    return qev::RunCheck(options.files);
  }

  // A screenshot or a print is drawn off screen: it needs no display, so
  // without one the window system is not asked for (it would abort).
  if (qev::DrawsOffScreen(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  if (qev::DrawsOffScreen(argc, argv)) qInstallMessageHandler(KeepQtQuiet);
  QApplication app(argc, argv);
  SetIdentity();
  QTranslator qtTexts;
  TranslateQt(app, qtTexts);
  // Lets the window system match the window to the installed desktop entry
  // and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("qevline"));
  const qev::CommandLine options = qev::ReadCommandLine(app);
  const bool writesList = !options.exportTable.isEmpty() || !options.exportDeck.isEmpty();
  if (writesList && !options.files.empty()) {
    std::vector<std::string> problems;
    const std::vector<qev::ListedEvent> events = qev::EventsOfFiles(options.files, problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
    if (!problems.empty()) return 1;
    return qev::RunListExport(options, events);
  }

  // By default the form fills what the maximised window can show, so that
  // no part of it hides behind scroll bars.
  const QSize screen = options.screen ? *options.screen
                                      : qev::MaximisedClientSize(*QGuiApplication::primaryScreen())
                                            .expandedTo(qev::kMinimumScreen);
  const qev::ScreenLayout layout{screen.width(), screen.height()};
  bool newDataDir = false;
  const std::string dataDir =
      DataDir(options,
              !options.screenshot.isEmpty() || !options.exportFile.isEmpty() || writesList ||
                  options.studyReport || options.optimizeMemory,
              newDataDir);
  qev::Application program(layout, dataDir);

  if (options.studyReport || options.optimizeMemory) {
    // The events on the line as the state file sets it up at start.
    program.platform().SetUnattended(true);
    program.Start([&] { QCoreApplication::exit(program.RunStudyCommand(options)); });
    return app.exec();
  }
  if (writesList) {
    // The events on the line as the state file sets it up at start.
    program.platform().SetUnattended(true);
    program.Start(
        [&] { QCoreApplication::exit(qev::RunListExport(options, program.view().LineEvents())); });
    return app.exec();
  }

  if (!options.exportFile.isEmpty()) {
    // The data folder and the state file as at start, printed instead of shown.
    program.platform().SetUnattended(true);
    program.Start([&] {
      qev::SheetSource source = program.view().WholeTimeline();
      if (options.exportRange) source.rangeIndex = *options.exportRange;
      const QString problem = qev::ExportTimeline(source, layout, options.exportFile);
      if (!problem.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(problem));
      QCoreApplication::exit(problem.isEmpty() ? 0 : 1);
    });
    return app.exec();
  }
  if (options.screenshot.isEmpty()) {
    // A new learner's first start opens on how to study with the program.
    program.Start([&] {
      if (newDataDir) program.ShowGettingStarted();
    });
    return app.exec();
  }
  program.platform().SetUnattended(true);
  program.Start([&] {
    QImage image = program.viewWidget().Grab();
    if (options.screenshotSize) {
      image =
          image.scaled(*options.screenshotSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const bool saved = image.save(options.screenshot, "PNG");
    if (!saved) std::fprintf(stderr, "Cannot write %s\n", qPrintable(options.screenshot));
    QCoreApplication::exit(saved ? 0 : 1);
  });
  return app.exec();
}
