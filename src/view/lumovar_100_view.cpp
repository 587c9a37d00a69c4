#include "view/lumovar_100_view.h"

#include <utility>

namespace qev {

CLumovar_100View::CLumovar_100View(Platform& platform, ScreenLayout layout, std::string dataDir)
    : platform_(platform), layout_(layout), dataDir_(std::move(dataDir)) {}

void CLumovar_100View::OnInitialUpdate() {}
void CLumovar_100View::OnPaint() {}
void CLumovar_100View::OnLButtonUp(int, int) {}
void CLumovar_100View::OnRButtonUp(int, int) {}
void CLumovar_100View::OnLButtonDown(int, int) {}
void CLumovar_100View::OnLButtonDblClk(int, int) {}
void CLumovar_100View::ShowContextMenu(int, int) {}
void CLumovar_100View::ScrollTimeline(ScrollCode, int) {}
void CLumovar_100View::OnClockTick() {}
bool CLumovar_100View::QueryClose() { return true; }

}  // namespace qev
