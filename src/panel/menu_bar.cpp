#include "panel/menu_bar.h"

#include <algorithm>
#include <array>

namespace qev {
namespace {

constexpr MenuEntry Command(KeyCommand command) {
  return {WindowAction::kCommand, command, ""};
}
constexpr MenuEntry Window(WindowAction action, const char* label) {
  return {action, KeyCommand::kPreviousPoint, label};
}
constexpr MenuEntry kSeparator{WindowAction::kSeparator, KeyCommand::kPreviousPoint, ""};

constexpr std::array kVersion{
    Window(WindowAction::kAbout, "[ Q E V ライン式 歴史のできごと 記憶法 ] のﾊﾞｰｼﾞｮﾝ情報"),
};

constexpr std::array kStudy{
    Window(WindowAction::kGettingStarted, "はじめに"),
    Command(KeyCommand::kSelfTest),
    Window(WindowAction::kStudyRecord, "学習の記録"),
    kSeparator,
    Command(KeyCommand::kStopwatch),
    Command(KeyCommand::kHelp),
};

constexpr std::array kEdit{
    Command(KeyCommand::kUndo),         Command(KeyCommand::kRedo),
    Command(KeyCommand::kCancelEdit),   kSeparator,
    Command(KeyCommand::kAddEvent),     Command(KeyCommand::kEditEvent),
    Command(KeyCommand::kDeleteEvent),  kSeparator,
    Command(KeyCommand::kFind),         Command(KeyCommand::kFindNext),
    Command(KeyCommand::kFindPrevious), Command(KeyCommand::kGoToYear),
    Command(KeyCommand::kRandomOnLine),
};

constexpr std::array kMove{
    Command(KeyCommand::kPreviousPoint),
    Command(KeyCommand::kNextPoint),
    Command(KeyCommand::kFirstPoint),
    Command(KeyCommand::kLastPoint),
    Command(KeyCommand::kRandomPoint),
    kSeparator,
    Command(KeyCommand::kNextRange),
    Command(KeyCommand::kPreviousRange),
    kSeparator,
    Command(KeyCommand::kPageLeft),
    Command(KeyCommand::kPageRight),
    Command(KeyCommand::kStepLeft),
    Command(KeyCommand::kStepRight),
};

constexpr std::array kFile{
    Command(KeyCommand::kSaveChanged),
    kSeparator,
    Window(WindowAction::kImportTable, "表から読み込む…"),
    Window(WindowAction::kExportTable, "表に書き出す…"),
    kSeparator,
    Window(WindowAction::kPrintTimeline, "QEVライン全体を印刷 (PDF/PNG)..."),
};

constexpr std::array kMenus{
    MenuTable{"ﾊﾞｰｼﾞｮﾝ情報", kVersion}, MenuTable{"学習", kStudy},    MenuTable{"編集", kEdit},
    MenuTable{"移動", kMove},           MenuTable{"ファイル", kFile},
};

}  // namespace

std::span<const MenuTable> MenuBarMenus() {
  return kMenus;
}

const KeyBinding& BindingOf(KeyCommand command) {
  const std::span<const KeyBinding> all = KeyBindings();
  return *std::find_if(all.begin(), all.end(),
                       [&](const KeyBinding& b) { return b.command == command; });
}

}  // namespace qev
