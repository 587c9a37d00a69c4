#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QScreen>

#include <cstdio>

#include "app/application.h"
#include "app/check.h"
#include "app/command_line.h"
#include "app/sheet_export.h"

namespace {

void SetIdentity() {
  QCoreApplication::setApplicationName(QStringLiteral("qevline"));
  QCoreApplication::setApplicationVersion(QStringLiteral("2.00"));
}

}  // namespace

int main(int argc, char** argv) {
  // Help, version and the line check run without a display.
  if (qev::NeedsNoWindow(argc, argv)) {
    QCoreApplication app(argc, argv);
    SetIdentity();
    return qev::RunCheck(qev::ReadCommandLine(app).checkFiles);
  }

  QApplication app(argc, argv);
  SetIdentity();
  const qev::CommandLine options = qev::ReadCommandLine(app);

  const QSize screen = options.screen.value_or(
      QGuiApplication::primaryScreen()->size().expandedTo(qev::kMinimumScreen));
  const qev::ScreenLayout layout{screen.width(), screen.height()};
  const std::string dataDir = qev::ResolveDataDir(options.dataDir, QDir::currentPath(),
                                                  QCoreApplication::applicationDirPath());
  qev::Application program(layout, dataDir);

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
    program.Start();
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
