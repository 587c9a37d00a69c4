#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "model/study_session.h"
#include "view/event_desk.h"
#include "view/view_handlers.h"

namespace qev {

// The find window's and the event dialogs' operations on the study session,
// each handing what it changed to the view's redraw.
class SessionDesk final : public EventDesk {
 public:
  SessionDesk(StudySession& session, ViewHandlers& view) : session_(session), view_(view) {}

  // Called whenever the lines of the slots, the slots or the filters change
  // (by the view, and by the desk's own edits): lists built from Events()
  // are stale then.
  void EventsChanged() { ++version_; }

  std::vector<DeskEvent> Events() override;
  std::uint64_t EventsVersion() const override { return version_; }
  Sjis SlotLabel(int slot) const override;
  std::vector<int> LoadedSlots() const override;
  std::optional<DeskEvent> SelectedEvent() override;
  std::string EditRefusal() const override;
  std::string SelectRefusal() const override;
  void SetSelfTestOpen(bool open) { selfTestOpen_ = open; }
  OffLine JumpToEvent(EventId key) override;
  bool GoToYear(EraYear year) override;
  void SelectRandomOnLine() override;
  std::optional<std::string> PointTipAt(int x, int y) override;
  bool AddEvent(int slot, Sjis line) override;
  bool ReplaceEvent(EventId key, Sjis line) override;
  bool DeleteEvent(EventId key) override;

 private:
  // The event's line, with its slot and why it is off the line if it is.
  std::optional<DeskEvent> EventOf(EventId id) const;
  bool Show(const EventOutcome& outcome);

  StudySession& session_;
  ViewHandlers& view_;
  std::uint64_t version_ = 0;
  bool selfTestOpen_ = false;
  std::mt19937 random_{std::random_device{}()};
};

}  // namespace qev
