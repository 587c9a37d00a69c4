#include "study/study_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <initializer_list>

#include "events/file_encoding.h"
#include "study/study_time.h"
#include "text/cp932.h"

namespace qev {
namespace {

// The columns of every log, then those appended at the right.
constexpr std::size_t kFirstColumns = 8;
constexpr std::size_t kKindColumns = 12;
constexpr std::size_t kColumns = 13;
constexpr std::string_view kRight = "正解";
constexpr std::string_view kWrong = "不正解";
constexpr std::string_view kHintShown = "1";
constexpr std::string_view kNoHint = "0";

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

std::string JoinLine(std::initializer_list<std::string_view> fields) {
  std::string out;
  for (std::string_view field : fields) {
    if (!out.empty()) out.push_back(',');
    AppendField(out, field);
  }
  out.push_back('\n');
  return out;
}

// Reads one record of `bytes` from `pos`: its first kColumns fields (views
// into `bytes`, or into `scratch` where quotes were undoubled) and their
// count, advancing `pos` past its line break. Fields beyond kColumns, which
// a later program may append, are read past. False for a record without its
// line break (cut) or with a quote not closed on its line.
bool ReadRecord(std::string_view bytes, std::size_t& pos,
                std::array<std::string_view, kColumns>& fields,
                std::array<std::string, kColumns>& scratch, std::size_t& count) {
  count = 0;
  std::string unused;
  while (true) {
    std::string_view field;
    if (pos < bytes.size() && bytes[pos] == '"') {
      std::string& text = count < kColumns ? scratch[count] : unused;
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
    if (count < kColumns) fields[count] = field;
    ++count;
    if (pos >= bytes.size()) return false;
    if (bytes[pos] == ',') {
      ++pos;
      continue;
    }
    if (bytes[pos] == '\r') ++pos;
    if (pos >= bytes.size() || bytes[pos] != '\n') return false;
    ++pos;
    return true;
  }
}

int Digit(std::string_view field, char highest) {
  return field.size() == 1 && field[0] >= '1' && field[0] <= highest ? field[0] - '0' : 0;
}

// Whole seconds, "0" to "99999999"; nothing for anything else.
std::optional<int> Seconds(std::string_view field) {
  if (field.empty() || field.size() > 8) return std::nullopt;
  int seconds = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    seconds = seconds * 10 + (c - '0');
  }
  return seconds;
}

// An event key as "取り違え" writes it: 16 hex digits.
std::optional<std::uint64_t> Hex(std::string_view field) {
  if (field.size() != 16) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : field) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
  }
  return value;
}

std::string HexOf(std::uint64_t value) {
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
  return text;
}

// The entry of a record of `count` fields, or nothing for a malformed one.
std::optional<StudyLogEntryView> EntryOf(const std::array<std::string_view, kColumns>& fields,
                                         std::size_t count) {
  if (count != kFirstColumns && count < kKindColumns) return std::nullopt;
  if (fields[5] != kRight && fields[5] != kWrong) return std::nullopt;
  if (Digit(fields[6], '5') == 0 || Digit(fields[7], '5') == 0) return std::nullopt;
  StudyLogEntryView entry;
  entry.right = fields[5] == kRight;
  if (count == kFirstColumns) {
    entry.kind = kYearKindName;
    entry.grade = entry.right ? Grade::kGood : Grade::kAgain;
  } else {
    const int grade = Digit(fields[9], '4');
    if (fields[8].empty() || grade == 0) return std::nullopt;
    if (fields[10] != kHintShown && fields[10] != kNoHint) return std::nullopt;
    if (!fields[11].empty() && !Seconds(fields[11])) return std::nullopt;
    entry.kind = fields[8];
    entry.grade = static_cast<Grade>(grade);
    entry.hint = fields[10] == kHintShown;
    entry.seconds = Seconds(fields[11]);
    // Anything else in the column (a later program's) is no confusion.
    if (count >= kColumns) entry.confusedWith = Hex(fields[12]);
  }
  const std::optional<LocalTime> time = ParseIsoDateTime(fields[0]);
  if (!time) return std::nullopt;
  entry.time = *time;
  entry.baseName = fields[1];
  entry.dateField = fields[2];
  entry.eventText = fields[3];
  return entry;
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
  return JoinLine({"日時", "ファイル", "年代", "できごと", "解答", "正誤", "記憶度(前)",
                   "記憶度(後)", "出題形式", "評価", "ヒント", "秒数", "取り違え"});
}

std::string StudyLogLine(const StudyLogEntry& entry) {
  const std::string time = IsoDateTime(entry.time);
  const std::string before(1, static_cast<char>('0' + entry.levelBefore));
  const std::string after(1, static_cast<char>('0' + entry.levelAfter));
  const std::string grade(1, static_cast<char>('0' + static_cast<int>(entry.grade)));
  const std::string seconds = entry.seconds ? std::to_string(std::max(*entry.seconds, 0)) : "";
  return JoinLine({time, entry.baseName, entry.dateField, entry.eventText, entry.answer,
                   entry.right ? kRight : kWrong, before, after, entry.kind, grade,
                   entry.hint ? kHintShown : kNoHint, seconds,
                   entry.confusedWith ? HexOf(*entry.confusedWith) : std::string()});
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

std::size_t ReadStudyLog(std::string_view bytes,
                         const std::function<void(const StudyLogEntryView&)>& take) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::array<std::string_view, kColumns> fields;
  std::array<std::string, kColumns> scratch;
  std::string decoded;
  std::size_t skipped = 0;
  std::size_t pos = 0;
  bool first = true;
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    std::size_t count = 0;
    bool read = ReadRecord(bytes, pos, fields, scratch, count);
    std::optional<StudyLogEntryView> entry = read ? EntryOf(fields, count) : std::nullopt;
    bool header = first && read && count > 0 && fields[0] == "日時";
    if (!entry && !header) {
      // A malformed record is skipped by its first line only: an unclosed
      // quote of a cut line must not swallow the lines after it.
      const std::size_t newline = bytes.find('\n', start);
      if (newline == std::string_view::npos) break;
      pos = newline + 1;
      // A line that is not UTF-8 was saved again as Shift-JIS.
      const std::string_view line = bytes.substr(start, pos - start);
      if (!LooksLikeMultiByteUtf8(line)) {
        decoded = DecodeCp932(line);
        std::size_t at = 0;
        read = ReadRecord(decoded, at, fields, scratch, count);
        entry = read ? EntryOf(fields, count) : std::nullopt;
        header = first && read && count > 0 && fields[0] == "日時";
      }
    }
    first = false;
    if (entry) {
      take(*entry);
    } else if (!header) {
      ++skipped;
    }
  }
  return skipped;
}

std::string StudyLogBytes(const std::filesystem::path& path) {
  const LogFile log = ResolveLogFile(path);
  std::error_code error;
  if (!log.refused.empty() || !std::filesystem::is_regular_file(log.path, error)) return {};
  std::ifstream in(log.path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return {};
  return bytes;
}

}  // namespace qev
