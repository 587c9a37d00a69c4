#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/recording_canvas.h"

namespace qev::testing {

// A platform held in memory: panel texts, a thumb, a settable clock, and
// scripted answers for dialogs, menus and message boxes.
class FakePlatform : public Platform {
 public:
  RecordingCanvas view;
  RecordingCanvas drawArea;
  Sjis panelText[2];
  // Set to make PanelText report a character CP932 cannot hold.
  std::string panelUnencodable[2];
  int thumb = 0;
  LocalTime now{2026, 12, 8, 9, 5, 0};
  std::int64_t steadyMs = 0;

  // Scripted answers, consumed in order; an empty queue cancels.
  std::deque<std::optional<std::string>> dialogAnswers;
  std::deque<MenuCommand> menuAnswers;
  std::deque<SaveAnswer> saveAnswers;  // also for AskToSaveAnyway: kSave saves
  std::deque<NewFileAnswer> newFileAnswers;
  std::deque<ChangedFileAnswer> changedFileAnswers;

  // What was asked.
  struct DialogCall {
    FileDialogKind kind;
    std::string initialPath;
  };
  std::vector<DialogCall> dialogs;
  std::vector<std::vector<MenuItem>> menus;
  std::vector<std::string> messages;
  std::vector<std::string> saveQuestions;
  std::vector<std::string> changedFileQuestions;

  Canvas& ViewCanvas() override { return view; }
  Canvas& DrawAreaCanvas() override { return drawArea; }
  void SetPanelText(InfoPanel panel, const Sjis& text) override;
  Cp932Encoding PanelText(InfoPanel panel) override;
  void SetScrollThumb(int position) override { thumb = position; }
  int ScrollThumb() override { return thumb; }
  LocalTime Now() override { return now; }
  std::int64_t SteadyMilliseconds() override { return steadyMs; }
  std::optional<std::string> FileDialog(FileDialogKind kind,
                                        const std::string& initialPath) override;
  MenuCommand PopupMenu(const std::vector<MenuItem>& items, int x, int y) override;
  using Platform::ShowMessage;
  void ShowMessage(const std::string& text, MessageKind) override { messages.push_back(text); }
  SaveAnswer AskToSave(const std::string& text) override;
  bool AskToSaveAnyway(const std::string& text) override {
    return AskToSave(text) == SaveAnswer::kSave;
  }
  ChangedFileAnswer AskChangedFile(const std::string& text) override;
  std::optional<NewFileAnswer> AskNewFile(const NewFileAnswer& typed) override;

  // Panel text decoded to UTF-8, for assertions.
  std::string PanelUtf8(InfoPanel panel) const;
};

}  // namespace qev::testing
