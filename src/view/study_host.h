#pragma once

#include "platform/platform.h"
#include "study/round.h"
#include "view/view_handlers.h"

namespace qev {

// A round's questions on the main screen, through the view's study
// session: the event selected with the line scrolled to it, its years
// hidden until answered, its level changed as "記憶度変更=" changes it.
class StudyHost final : public RoundHost {
 public:
  StudyHost(ViewHandlers& view, StudySession& session, Platform& platform)
      : view_(view), session_(session), platform_(platform) {}

  const std::vector<TimelinePoint>& PoolPoints() override;
  std::vector<std::optional<PoolLine>> LinesOf(
      std::span<const TimelinePoint* const> points) override;
  std::optional<std::vector<EventId>> ReplacedSince(LinesStamp& stamp) override;
  std::optional<Sjis> EventLine(EventId id) override { return session_.EventLine(id); }
  void ShowQuestion(EventId id, const Concealment& hidden) override;
  void RevealAnswer(std::vector<QuestionMarks::Label> marks) override;
  void LeaveQuestion() override;
  bool SetMemorisationLevel(EventId id, int level) override;
  std::vector<StudySlot> LoadedSlots() override;
  LocalTime Now() override { return platform_.Now(); }
  std::filesystem::path StudyLogPath() override;

 private:
  ViewHandlers& view_;
  StudySession& session_;
  Platform& platform_;
};

}  // namespace qev
