#include "study/memory_parameters.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

#include "events/file_io.h"

namespace qev {
namespace {

std::string_view Trimmed(std::string_view s) {
  const auto begin = s.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  const auto end = s.find_last_not_of(" \t\r");
  return s.substr(begin, end - begin + 1);
}

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

std::string MemoryParametersText(const MemoryParameters& w) {
  std::string out =
      "# QEV Line の記憶モデル（FSRS-6）のパラメータ w0〜w20。\n"
      "# 「学習の記録」の「記憶モデルを最適化」が学習記録から求めて書きます。\n"
      "# このファイルを消すか「既定に戻す」で既定値に戻ります。\n";
  for (int i = 0; i < kMemoryParameterCount; ++i) {
    std::array<char, 32> number{};
    const auto [ptr, ec] = std::to_chars(number.data(), number.data() + number.size(), w[i]);
    out += "w" + std::to_string(i) + " = ";
    out.append(number.data(), ec == std::errc() ? ptr : number.data());
    out += '\n';
  }
  return out;
}

std::optional<MemoryParameters> ParseMemoryParameters(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a BOM an editor added
  MemoryParameters w{};
  std::array<bool, kMemoryParameterCount> seen{};
  while (!text.empty()) {
    const auto eol = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (line.empty() || line.front() == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view name = Trimmed(line.substr(0, eq));
    int index = -1;
    double value = 0;
    if (!name.starts_with('w') || !ParseWhole(name.substr(1), index) || index < 0 ||
        index >= kMemoryParameterCount || seen[index] ||
        !ParseWhole(Trimmed(line.substr(eq + 1)), value) || !std::isfinite(value)) {
      return std::nullopt;
    }
    seen[index] = true;
    w[index] = value;
  }
  for (bool s : seen) {
    if (!s) return std::nullopt;
  }
  return ClampedParameters(w);
}

MemoryParameters ReadMemoryParameters(const std::filesystem::path& path) {
  const FileBytes file = ReadWholeFile(path);
  if (file.status != ReadStatus::kRead) return kDefaultMemoryParameters;
  return ParseMemoryParameters(file.bytes).value_or(kDefaultMemoryParameters);
}

std::optional<std::string> WriteMemoryParameters(const std::filesystem::path& path,
                                                 const MemoryParameters& w) {
  const std::string text = MemoryParametersText(w);
  std::error_code error;
  const bool exists = std::filesystem::exists(std::filesystem::symlink_status(path, error));
  const WriteOutcome outcome = exists ? WriteFileAtomically(path, text) : WriteNewFile(path, text);
  if (outcome.ok) return std::nullopt;
  return outcome.reason;
}

}  // namespace qev
