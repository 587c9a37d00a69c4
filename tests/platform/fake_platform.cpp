#include "platform/fake_platform.h"

namespace qev::testing {

void FakePlatform::SetPanelText(InfoPanel panel, const Sjis& text) {
  panelText[static_cast<int>(panel)] = text;
}

Cp932Encoding FakePlatform::PanelText(InfoPanel panel) {
  int i = static_cast<int>(panel);
  return Cp932Encoding{panelText[i], panelUnencodable[i]};
}

std::optional<NewFileAnswer> FakePlatform::AskNewFile(const NewFileAnswer&) {
  if (newFileAnswers.empty()) return std::nullopt;
  NewFileAnswer answer = newFileAnswers.front();
  newFileAnswers.pop_front();
  return answer;
}

std::optional<std::string> FakePlatform::FileDialog(FileDialogKind kind,
                                                    const std::string& initialPath) {
  dialogs.push_back({kind, initialPath});
  if (dialogAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

MenuCommand FakePlatform::PopupMenu(const std::vector<MenuItem>& items, int, int) {
  menus.push_back(items);
  if (menuAnswers.empty()) return MenuCommand::kNone;
  MenuCommand answer = menuAnswers.front();
  menuAnswers.pop_front();
  return answer;
}

SaveAnswer FakePlatform::AskToSave(const std::string& text) {
  saveQuestions.push_back(text);
  if (saveAnswers.empty()) return SaveAnswer::kCancel;
  SaveAnswer answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

ChangedFileAnswer FakePlatform::AskChangedFile(const std::string& text) {
  changedFileQuestions.push_back(text);
  if (changedFileAnswers.empty()) return ChangedFileAnswer::kCancel;
  ChangedFileAnswer answer = changedFileAnswers.front();
  changedFileAnswers.pop_front();
  return answer;
}

std::string FakePlatform::PanelUtf8(InfoPanel panel) const {
  return DecodeCp932(panelText[static_cast<int>(panel)]);
}

}  // namespace qev::testing
