#include "app/list_files.h"

#include <QFile>
#include <QFileInfo>

#include <ctime>
#include <filesystem>
#include <iostream>

#include "events/event_file.h"
#include "events/file_encoding.h"
#include "events/file_io.h"
#include "lists/table_import.h"
#include "lists/table_text.h"
#include "state/clock.h"

namespace qev {
namespace {

std::filesystem::path PathOf(const QString& name) {
  return std::filesystem::path(QFile::encodeName(name).toStdString());
}

LocalTime NowHere() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

ListKind TableKindOf(const QString& path) {
  return QFileInfo(path).suffix().toLower() == QLatin1String("tsv") ? ListKind::kTsv
                                                                    : ListKind::kCsv;
}

QString WriteEventList(const QString& path, ListKind kind, const std::vector<ListedEvent>& events) {
  const std::string text = kind == ListKind::kDeck
                               ? AnkiDeck(events)
                               : EventTable(events, kind == ListKind::kTsv ? '\t' : ',');
  const WriteOutcome written = WriteFileAtomically(PathOf(path), text);
  if (written.ok) return {};
  return QStringLiteral("「%1」に書き出せませんでした: %2")
      .arg(path, QString::fromStdString(written.reason));
}

std::vector<ListedEvent> EventsOfFiles(const std::vector<std::string>& files,
                                       std::vector<std::string>& problems) {
  std::vector<ListedEvent> events;
  for (const std::string& name : files) {
    const std::filesystem::path path(name);
    const FileBytes bytes = ReadWholeFile(path);
    if (bytes.status != ReadStatus::kRead) {
      problems.push_back(name + ": " + (bytes.reason.empty() ? "no such file" : bytes.reason));
      continue;
    }
    const FileText text = ReadFileText(bytes.bytes);
    if (!text.ok()) {
      problems.push_back(name + ": " + UnkeptCharacterProblem(text));
      continue;
    }
    const ParsedFile parsed = ParseEventFile(text.text);
    Sjis title = parsed.title;
    if (title.empty()) {
      const Cp932Encoding stem = EncodeCp932(path.stem().string());
      title = stem.ok() ? stem.bytes : Sjis(path.stem().string());
    }
    for (std::string_view line : parsed.lines) events.push_back({title, Sjis(line)});
  }
  return events;
}

int RunListExport(const CommandLine& options, const std::vector<ListedEvent>& events) {
  int code = 0;
  for (const auto& [path, kind] : {std::pair{options.exportTable, TableKindOf(options.exportTable)},
                                   std::pair{options.exportDeck, ListKind::kDeck}}) {
    if (path.isEmpty()) continue;
    const QString problem = WriteEventList(path, kind, events);
    if (problem.isEmpty()) {
      std::cout << events.size() << " events written to " << path.toStdString() << "\n";
    } else {
      std::cerr << problem.toStdString() << "\n";
      code = 1;
    }
  }
  return code;
}

int RunImport(const CommandLine& options, const std::string& dataDir) {
  const FileBytes bytes = ReadWholeFile(options.importTable);
  if (bytes.status != ReadStatus::kRead) {
    std::cerr << options.importTable << ": "
              << (bytes.reason.empty() ? "no such file" : bytes.reason) << "\n";
    return 1;
  }
  const TableText table = ReadTable(bytes.bytes);
  const ImportedEvents imported = ImportRows(table, GuessColumns(table));
  for (const RefusedRow& row : imported.refused) {
    std::cerr << options.importTable << ": row " << row.row << ": " << row.reason << "\n";
  }
  if (imported.lines.empty()) {
    std::cerr << options.importTable << ": no row became an event; nothing was written\n";
    return 1;
  }
  const std::string name = options.importName.empty() ? options.importTitle : options.importName;
  const NewEventFile file = PlanImportedFile(dataDir, name, options.importTitle,
                                             FormatClockText(NowHere()), imported.lines);
  if (!file.ok()) {
    std::cerr << file.problem << "\n";
    return 1;
  }
  if (const WriteOutcome written = WriteNewFile(file.path, file.text); !written.ok) {
    std::cerr << file.path.string() << ": " << written.reason << "\n";
    return 1;
  }
  std::cout << imported.lines.size() << " events written to " << file.path.string();
  if (const std::size_t out = imported.refused.size(); out > 0) {
    std::cout << " (" << out << (out == 1 ? " row" : " rows") << " left out)";
  }
  std::cout << "\n";
  return 0;
}

}  // namespace qev
