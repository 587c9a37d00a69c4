#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace qev {

// File and folder names are kept as the bytes given: a name that is not
// UTF-8 (a Shift-JIS name) still names its file.
struct CommandLine {
  std::string dataDir;                  // as given (bytes); empty when not given
  std::optional<QSize> screen;          // the W x H the layout is computed for
  QString screenshot;                   // PNG to write instead of running
  std::optional<QSize> screenshotSize;  // the PNG scaled to this; else W x H
  QString exportFile;                   // .pdf or .png to print the whole timeline into, then exit
  std::optional<int> exportRange;       // the range to print at; else the one of the state file
  bool check = false;
  // A table to read into a new event file (bytes), its title and file name
  // (UTF-8; the name defaults to the title).
  std::string importTable;
  std::string importTitle;
  std::string importName;
  QString exportTable;          // .csv or .tsv to write the events into, then exit
  QString exportDeck;           // an Anki text-import deck to write, then exit
  bool studyReport = false;     // print the study's figures, then exit
  bool studyCards = false;      // with them, one line per card
  bool optimizeMemory = false;  // fit the memory model to the log, keep it, print, exit
  // The event files named: to check, or to write out (bytes).
  std::vector<std::string> files;
};

// The smallest screen the layout works on: one layout unit across (W/400)
// and down (H/500).
inline constexpr QSize kMinimumScreen{400, 500};

// Whether the command line only asks for output on the terminal or into
// files (help, version, the line check, a table import), which needs no
// display.
bool NeedsNoWindow(int argc, char** argv);

// Whether the command line asks for a picture, a print, a table or a deck
// (--screenshot, --export, --export-table, --export-deck) or the study's
// figures (--study-report, --optimize-memory), which are made off screen and
// need no display.
bool DrawsOffScreen(int argc, char** argv);

// Reads the program's options. Help, version and errors are printed here
// and end the program.
CommandLine ReadCommandLine(const QCoreApplication& app);

// The bytes of each argument in `parsed` (as QCommandLineParser gives them),
// found in order among the program's raw arguments `raw`: an argument
// itself or the value after "=" of an option. A value not found comes back
// in the local encoding.
std::vector<std::string> ArgumentsAsGiven(const QStringList& parsed,
                                          const std::vector<std::string>& raw);

// "WxH" with both numbers within kMinimumScreen..16384, or nothing.
std::optional<QSize> ParseScreenSize(const QString& text);

// "WxH" with both numbers within 1..16384, or nothing.
std::optional<QSize> ParsePictureSize(const QString& text);

// The data folder, the first of: the one given; `qev_file` in the current
// folder; `qev_file` beside the executable (a build folder); the user's own
// folder UserDataDir(dataHome). The last two only if they exist, but for
// the user's folder, which is always the last resort. Always absolute.
// `given` and the result are the bytes of the name.
std::string ResolveDataDir(const std::string& given, const QString& currentDir,
                           const QString& appDir, const QString& dataHome);

// The user's own data folder: <dataHome>/qevline/qev_file, dataHome being
// $XDG_DATA_HOME or ~/.local/share.
QString UserDataDir(const QString& dataHome);

// The sample event files installed with a program that lies in `appDir`:
// <prefix>/share/qevline/qev_file for <prefix>/bin.
QString InstalledSamplesDir(const QString& appDir);

// Makes `folder` on its first use: creates it and copies into it every
// regular file of `samples`, writable by the user, never over a file that
// is there. A folder that exists is left as it is, so a sample the user
// deleted stays deleted. Returns what went wrong, empty when nothing did.
QString PrepareDataDir(const QString& folder, const QString& samples);

}  // namespace qev
