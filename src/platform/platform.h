#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "text/cp932.h"

namespace qev {

enum class InfoPanel { kLeft, kRight };

struct LocalTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

enum class FileDialogKind { kOpen, kSave };

// The commands of the context menus, by their menu identifiers.
enum class MenuCommand {
  kNone = 0,
  kReadFile = 32771,      // ファイルを読み込む
  kSave = 32772,          // ファイルを保存 / 動作状態を保存
  kEraseFile = 32773,     // ファイルを消去
  kRestoreState = 32778,  // 動作状態からの再入力
  kNewFile = 32779,       // 新しいファイルを作る
};

struct MenuItem {
  MenuCommand command = MenuCommand::kNone;
  std::string text;  // UTF-8
  friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

enum class SaveAnswer { kSave, kDiscard, kCancel };

// What to do with a file that changed on disk since it was read.
enum class ChangedFileAnswer { kOverwrite, kSaveAs, kCancel };

// The name and title of a new event file, as typed (UTF-8).
struct NewFileAnswer {
  std::string name;
  std::string title;
  friend bool operator==(const NewFileAnswer&, const NewFileAnswer&) = default;
};

// What a message tells: something that went wrong or needs care (shown
// with the warning sign), or that something was done (the information sign).
enum class MessageKind { kWarning, kInformation };

// Everything the core needs from the windowing system but drawing: the two
// information panels, the scroll thumb, the clock, dialogs, menus and
// message boxes. Texts shown to the user are UTF-8; panel texts are CP932.
class Platform {
 public:
  virtual ~Platform() = default;

  // The view's client area and the timeline drawing area inside it.
  virtual Canvas& ViewCanvas() = 0;
  virtual Canvas& DrawAreaCanvas() = 0;

  // The information panels (multi-line edits). Line breaks are CR LF.
  virtual void SetPanelText(InfoPanel panel, const Sjis& text) = 0;
  // The panel's text as CP932; the user may have typed characters CP932
  // cannot hold, which the result reports.
  virtual Cp932Encoding PanelText(InfoPanel panel) = 0;

  // The horizontal scroll bar's thumb (range 0..700).
  virtual void SetScrollThumb(int position) = 0;
  virtual int ScrollThumb() = 0;

  // Local wall-clock time, and a steady millisecond count for measuring
  // elapsed time.
  virtual LocalTime Now() = 0;
  virtual std::int64_t SteadyMilliseconds() = 0;

  // A modal file dialog opened on `initialPath` (UTF-8; folder and file
  // name). Returns the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> FileDialog(FileDialogKind kind,
                                                const std::string& initialPath) = 0;
  // A popup menu at the view position (x, y); returns the chosen command, or
  // kNone when dismissed.
  virtual MenuCommand PopupMenu(const std::vector<MenuItem>& items, int x, int y) = 0;
  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
  void ShowMessage(const std::string& text) { ShowMessage(text, MessageKind::kWarning); }
  // Asks whether to save unsaved changes before they are lost.
  virtual SaveAnswer AskToSave(const std::string& text) = 0;
  // Asks whether to save although something will be lost: true to save.
  virtual bool AskToSaveAnyway(const std::string& text) = 0;
  // Asks what to do when a save would overwrite a file that another
  // program changed since it was read: overwrite it, save under another
  // name, or cancel (the default).
  virtual ChangedFileAnswer AskChangedFile(const std::string& text) = 0;
  // Asks for a new file's name and title, starting from `typed`; nothing
  // when cancelled.
  virtual std::optional<NewFileAnswer> AskNewFile(const NewFileAnswer& typed) = 0;
  // Messages are UTF-8: CP932 text must be decoded before it is shown.
  void ShowMessage(const Sjis&) = delete;
  void ShowMessage(const Sjis&, MessageKind) = delete;
  SaveAnswer AskToSave(const Sjis&) = delete;
  bool AskToSaveAnyway(const Sjis&) = delete;
  ChangedFileAnswer AskChangedFile(const Sjis&) = delete;
};

// Splits CP932 text at CR LF the way the panels count lines.
std::vector<Sjis> SplitPanelLines(const Sjis& text);

// The longest line a panel shows, in bytes. The edit's line wrapping takes
// far more than linear time on a long line without break points, so an
// event field of a megabyte would keep the window from ever appearing.
constexpr std::size_t kPanelLineLimit = 1024;

// `text` (lines separated by CR LF) as a panel shows it: a line longer than
// kPanelLineLimit bytes is cut before the character that would cross the
// limit and ends in "…".
Sjis PanelDisplayText(const Sjis& text);

}  // namespace qev
