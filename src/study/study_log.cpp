#include "study/study_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>

#include "study/study_time.h"

namespace qev {
namespace {

constexpr std::size_t kColumns = 8;
constexpr std::string_view kRight = "正解";
constexpr std::string_view kWrong = "不正解";

// A record is one line: a line break inside a field is written as a blank,
// so that no record can ever reach into the next line.
void AppendField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(field);
    return;
  }
  out.push_back('"');
  for (char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c == '\n' ? ' ' : c);
  }
  out.push_back('"');
}

std::string JoinLine(const std::array<std::string_view, kColumns>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendField(out, fields[i]);
  }
  out.push_back('\n');
  return out;
}

// Reads one record of `bytes` from `pos`: its fields (views into `bytes`, or
// into `scratch` where quotes were undoubled), advancing `pos` past its line
// break. False for a record without its line break (cut), with a quote not
// closed on its line, or without exactly kColumns fields.
bool ReadRecord(std::string_view bytes, std::size_t& pos,
                std::array<std::string_view, kColumns>& fields,
                std::array<std::string, kColumns>& scratch) {
  std::size_t count = 0;
  while (true) {
    std::string_view field;
    if (pos < bytes.size() && bytes[pos] == '"') {
      std::string& text = scratch[count < kColumns ? count : 0];
      text.clear();
      std::size_t i = pos + 1;
      while (true) {
        const std::size_t quote = bytes.find('"', i);
        if (quote == std::string_view::npos) return false;
        // A record never goes on past its line: a quote left open by a cut
        // line must not take in the answer written after it.
        if (bytes.substr(i, quote - i).find('\n') != std::string_view::npos) return false;
        text.append(bytes.substr(i, quote - i));
        if (quote + 1 < bytes.size() && bytes[quote + 1] == '"') {
          text.push_back('"');
          i = quote + 2;
          continue;
        }
        pos = quote + 1;
        break;
      }
      field = text;
    } else {
      // A plain scan: find_first_of looks each byte up in the set.
      std::size_t end = pos;
      while (end < bytes.size() && bytes[end] != ',' && bytes[end] != '\n') ++end;
      if (end == bytes.size()) return false;
      field = bytes.substr(pos, end - pos);
      if (field.ends_with('\r')) field.remove_suffix(1);
      pos = end;
    }
    if (count == kColumns) return false;
    fields[count++] = field;
    if (pos >= bytes.size()) return false;
    if (bytes[pos] == ',') {
      ++pos;
      continue;
    }
    if (bytes[pos] == '\r') ++pos;
    if (pos >= bytes.size() || bytes[pos] != '\n') return false;
    ++pos;
    return count == kColumns;
  }
}

// What ends the log's last line when a crash, a full disk or a copy cut it:
// its open quote closed, if it has one, and a line break, so that it stays
// a line of its own, whatever its columns. Nothing when the log ends with a
// line break. Only the last line is looked at, since no record spans lines.
std::string EndOfCutLine(int fd, off_t size) {
  std::size_t quotes = 0;
  char buffer[4096];
  for (off_t end = size; end > 0;) {
    const off_t start = std::max<off_t>(0, end - static_cast<off_t>(sizeof buffer));
    const ssize_t n = ::pread(fd, buffer, static_cast<std::size_t>(end - start), start);
    if (n != end - start) return "\n";  // unreadable: a line break at least
    if (end == size && buffer[n - 1] == '\n') return {};
    for (ssize_t i = n - 1; i >= 0; --i) {
      if (buffer[i] == '\n') return quotes % 2 == 1 ? "\"\n" : "\n";
      if (buffer[i] == '"') ++quotes;
    }
    end = start;
  }
  return quotes % 2 == 1 ? "\"\n" : "\n";
}

int Level(std::string_view field) {
  return field.size() == 1 && field[0] >= '1' && field[0] <= '5' ? field[0] - '0' : 0;
}

}  // namespace

LogFile ResolveLogFile(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {path, {}};
  const std::string name = "「" + path.filename().string() + "」は";
  std::error_code error;
  const std::filesystem::path target = std::filesystem::canonical(path, error);
  if (error)
    return {{}, name + "存在しないファイルへのリンクです。リンクをたどって書くことはしません"};
  const std::filesystem::path parent = path.parent_path();
  const std::filesystem::path folder =
      std::filesystem::canonical(parent.empty() ? std::filesystem::path(".") : parent, error);
  const std::filesystem::path inside = target.lexically_relative(folder);
  if (error || inside.empty() || *inside.begin() == "..") {
    return {{},
            name + "データフォルダの外のファイル(" + target.string() +
                ")へのリンクです。リンクをたどって書くことはしません"};
  }
  return {target, {}};
}

std::string StudyLogHeader() {
  return JoinLine(
      {"日時", "ファイル", "年代", "できごと", "解答", "正誤", "記憶度(前)", "記憶度(後)"});
}

std::string StudyLogLine(const StudyLogEntry& entry) {
  const std::string time = IsoDateTime(entry.time);
  const std::string before(1, static_cast<char>('0' + entry.levelBefore));
  const std::string after(1, static_cast<char>('0' + entry.levelAfter));
  return JoinLine({time, entry.baseName, entry.dateField, entry.eventText, entry.answer,
                   entry.right ? kRight : kWrong, before, after});
}

std::optional<std::string> AppendStudyLog(const std::filesystem::path& path,
                                          const StudyLogEntry& entry) {
  const LogFile log = ResolveLogFile(path);
  if (!log.refused.empty()) return log.refused;
  // Non-blocking, so that a FIFO in the log's place cannot hang the window
  // before it is refused; a link put in its place meanwhile is not followed.
  const int fd = ::open(log.path.c_str(),
                        O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return std::string(std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::string("通常のファイルではありません");
  }
  const std::string text =
      (st.st_size == 0 ? StudyLogHeader() : EndOfCutLine(fd, st.st_size)) + StudyLogLine(entry);
  std::string_view rest = text;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string reason = std::strerror(errno);
      ::close(fd);
      return reason;
    }
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd) != 0) return std::string(std::strerror(errno));
  return std::nullopt;
}

StudyLog StudyLog::Parse(std::string_view bytes) {
  StudyLog log;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::array<std::string_view, kColumns> fields;
  std::array<std::string, kColumns> scratch;
  // One line per answer, nearly always: room for them all at once.
  log.Reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
  log.answers_.reserve(log.last_.size() / 2);
  std::size_t pos = 0;
  bool first = true;
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    const bool read = ReadRecord(bytes, pos, fields, scratch);
    const bool header = first && read && fields[0] == "日時";
    first = false;
    if (header) continue;
    std::optional<LocalTime> time;
    if (read && (fields[5] == kRight || fields[5] == kWrong) && Level(fields[6]) != 0 &&
        Level(fields[7]) != 0) {
      time = ParseIsoDateTime(fields[0]);
    }
    if (!time) {
      // A malformed record is skipped by its first line only: an unclosed
      // quote of a cut line must not swallow the lines after it.
      const std::size_t newline = bytes.find('\n', start);
      if (newline == std::string_view::npos) break;
      pos = newline + 1;
      ++log.skipped_;
      continue;
    }
    log.Note(KeyOfLogFields(fields[1], fields[2], fields[3]), *time, fields[5] == kRight);
  }
  log.Shrink();
  return log;
}

StudyLog StudyLog::Read(const std::filesystem::path& path) {
  const LogFile log = ResolveLogFile(path);
  std::error_code error;
  if (!log.refused.empty() || !std::filesystem::is_regular_file(log.path, error)) return {};
  std::ifstream in(log.path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return {};
  return Parse(bytes);
}

// At most half full; keys are well mixed hashes, so their low bits index.
std::size_t StudyLog::TableSize(std::size_t events) {
  std::size_t size = 64;
  while (size < 2 * events) size *= 2;
  return size;
}

void StudyLog::Rehash(std::size_t size) {
  std::vector<Slot> old = std::move(last_);
  last_.assign(size, Slot{});
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.key != 0) SlotOf(slot.key) = slot;
  }
}

void StudyLog::Reserve(std::size_t events) {
  if (TableSize(events) > last_.size()) Rehash(TableSize(events));
}

void StudyLog::Shrink() {
  // Many answers to fewer events: a table no larger than they need keeps
  // the lookups of a round in the cache.
  if (TableSize(used_) < last_.size()) Rehash(TableSize(used_));
}

StudyLog::Slot& StudyLog::SlotOf(EventKey key) {
  key = Stored(key);
  Reserve(used_ + 1);
  const std::size_t mask = last_.size() - 1;
  for (std::size_t i = key & mask;; i = (i + 1) & mask) {
    if (last_[i].key == 0) {
      ++used_;
      last_[i] = {key, std::numeric_limits<std::int64_t>::min()};
      return last_[i];
    }
    if (last_[i].key == key) return last_[i];
  }
}

const StudyLog::Slot* StudyLog::Find(EventKey key) const {
  if (last_.empty()) return nullptr;
  key = Stored(key);
  const std::size_t mask = last_.size() - 1;
  for (std::size_t i = key & mask; last_[i].key != 0; i = (i + 1) & mask) {
    if (last_[i].key == key) return &last_[i];
  }
  return nullptr;
}

void StudyLog::Note(EventKey key, const LocalTime& time, bool right) {
  Slot& slot = SlotOf(key);
  slot.moment = std::max(slot.moment, Moment(time));
  answers_.push_back({DayNumber(time), right});
}

std::optional<std::int64_t> StudyLog::LastAnswered(EventKey key) const {
  if (const Slot* slot = Find(key)) return slot->moment;
  return std::nullopt;
}

std::vector<std::optional<std::int64_t>> StudyLog::LastAnswered(
    std::span<const EventKey> keys) const {
  constexpr std::size_t kAhead = 8;
  std::vector<std::optional<std::int64_t>> last;
  last.reserve(keys.size());
  const std::size_t mask = last_.empty() ? 0 : last_.size() - 1;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i + kAhead < keys.size() && !last_.empty()) {
      __builtin_prefetch(&last_[Stored(keys[i + kAhead]) & mask]);
    }
    last.push_back(LastAnswered(keys[i]));
  }
  return last;
}

}  // namespace qev
