#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qev {

// The drawings a handler asks for, held back until the handler returns and
// then drawn in order, so that a surface a handler redraws several times is
// drawn once.
//
// Held back only where the final pixels are provably the same: the screen
// falls into three regions that no drawing crosses (the drawing area with
// its margin strips, and the control panel, and the information panels,
// which are widgets of their own), and a drawing that paints its whole
// region first makes every earlier one of that region invisible, so those
// are dropped. Each drawing keeps a copy of what it shows as it was when it
// was asked for.
class RedrawBatch {
 public:
  enum class Region { kTimeline, kControlPanel };
  using Drawing = std::function<void(Platform& screen)>;

  explicit RedrawBatch(Platform& screen) : screen_(screen) {}

  // While one scope or more is open, drawings are held back; the last scope
  // to close draws them.
  class Scope {
   public:
    explicit Scope(RedrawBatch& batch) : batch_(batch) { ++batch_.depth_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    ~Scope() {
      if (--batch_.depth_ == 0) batch_.Flush();
    }

   private:
    RedrawBatch& batch_;
  };

  // Draws at once outside a scope; inside one, holds the drawing back
  // (dropping the held-back drawings of its region when `coversRegion`).
  void Draw(Region region, bool coversRegion, Drawing drawing);
  // Draws what is held back, in order.
  void Flush();

 private:
  struct Held {
    Region region;
    Drawing drawing;
  };
  Platform& screen_;
  int depth_ = 0;
  std::vector<Held> held_;
};

// The platform as the view's handlers use it: what they draw or show
// themselves (a canvas, a dialog, a menu, a message box) first brings the
// screen up to date with what the batch holds back, so the order of
// drawings and what a modal window shows above stay as they were.
class BatchedPlatform final : public Platform {
 public:
  BatchedPlatform(Platform& screen, RedrawBatch& batch) : screen_(screen), batch_(batch) {}

  Canvas& ViewCanvas() override {
    batch_.Flush();
    return screen_.ViewCanvas();
  }
  Canvas& DrawAreaCanvas() override {
    batch_.Flush();
    return screen_.DrawAreaCanvas();
  }
  void SetPanelText(InfoPanel panel, const Sjis& text) override {
    screen_.SetPanelText(panel, text);
  }
  Cp932Encoding PanelText(InfoPanel panel) override { return screen_.PanelText(panel); }
  void SetScrollThumb(int position) override { screen_.SetScrollThumb(position); }
  int ScrollThumb() override { return screen_.ScrollThumb(); }
  LocalTime Now() override { return screen_.Now(); }
  std::int64_t SteadyMilliseconds() override { return screen_.SteadyMilliseconds(); }
  std::optional<std::string> FileDialog(FileDialogKind kind,
                                        const std::string& initialPath) override {
    batch_.Flush();
    return screen_.FileDialog(kind, initialPath);
  }
  MenuCommand PopupMenu(const std::vector<MenuItem>& items, int x, int y) override {
    batch_.Flush();
    return screen_.PopupMenu(items, x, y);
  }
  using Platform::ShowMessage;
  void ShowMessage(const std::string& text, MessageKind kind) override {
    batch_.Flush();
    screen_.ShowMessage(text, kind);
  }
  SaveAnswer AskToSave(const std::string& text) override {
    batch_.Flush();
    return screen_.AskToSave(text);
  }
  bool AskToSaveAnyway(const std::string& text) override {
    batch_.Flush();
    return screen_.AskToSaveAnyway(text);
  }
  ChangedFileAnswer AskChangedFile(const std::string& text) override {
    batch_.Flush();
    return screen_.AskChangedFile(text);
  }
  std::optional<NewFileAnswer> AskNewFile(const NewFileAnswer& typed) override {
    batch_.Flush();
    return screen_.AskNewFile(typed);
  }

 private:
  Platform& screen_;
  RedrawBatch& batch_;
};

}  // namespace qev
