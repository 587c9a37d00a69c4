#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "events/file_io.h"
#include "state/operating_state_text.h"
#include "text/cp932.h"

namespace qev::testing {

// A data folder of realistic size and shape for timing and picture checks:
// ten slot files of `perSlot` events each, spread over BC 3000 to AD 2020
// (denser towards the present), about 30% with a second date (in either
// era), every importance and memorisation level; and a state file that
// loads all ten at `rangeIndex` and scroll position `scrollPos` with every
// point marked (ポイントの全表示).
inline void WriteGeneratedEvents(const std::filesystem::path& dir, int perSlot, int rangeIndex,
                                 int scrollPos) {
  std::filesystem::create_directories(dir);
  static const char* const kPeriods[] = {"古代", "中世", "近世", "近代", "現代"};
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xffffu;
  };
  for (int k = 0; k < OperatingState::kSlotCount; ++k) {
    std::string text = "H;生成データ" + std::to_string(k) + ";;2026年01月05日09時00分;\r\n";
    for (int i = 0; i < perSlot; ++i) {
      // Squaring a uniform value puts more events near AD 2020.
      const unsigned r = next();
      const int year = 2020 - static_cast<int>(5020ull * r * r / (65536ull * 65536ull));
      char date[16] = "";
      if (next() % 10 < 3) {
        const int end = year + 1 + static_cast<int>(next() % 300);
        std::snprintf(date, sizeof date, "%s%04d", end < 0 ? "BC" : "AD", end < 0 ? -end : end);
      }
      char line[256];
      std::snprintf(line, sizeof line,
                    "%s%04d;%u,%u,%s,;%s;第%d群の%d番目のできごと;メモ%d;%s;\r\n",
                    year < 0 ? "BC" : "AD", year < 0 ? -year : year, next() % 5 + 1, next() % 5 + 1,
                    date, kPeriods[i % 5], k + 1, i, i % 97, i % 3 == 0 ? "補足の説明" : "");
      text += line;
    }
    text += ";\r\n";
    const Cp932Encoding encoded = EncodeCp932(text);
    WriteFileAtomically(dir / ("歴史文書2" + std::to_string(k) + ".txt"), encoded.bytes);
  }
  OperatingState state;
  state.rangeIndex = rangeIndex;
  state.savedScrollPos = scrollPos;
  state.display.pointDisplayMode = PointDisplayMode::kAll;
  const Sjis stateText =
      ComposeStateText(state, "動作状態10"_sj, "2026年01月05日09時00分"_sj) + ";\r\n"_sj;
  WriteFileAtomically(dir / "動作状態10.txt", stateText);
}

}  // namespace qev::testing
