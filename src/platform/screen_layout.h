#pragma once

namespace qev {

// Positions on the view, proportional to the screen size W x H: every value
// is W·p/1000 or H·p/1000 with the product formed first and the division
// truncating.
struct ScreenLayout {
  int W = 800;
  int H = 600;

  int X(int perMille) const { return W * perMille / 1000; }
  int Y(int perMille) const { return H * perMille / 1000; }
  int u() const { return W / 400; }  // layout unit across
  int v() const { return H / 500; }  // layout unit down

  // The timeline drawing area (its own surface), the scroll bar under it and
  // the two information panels.
  int drawAreaX() const { return X(15); }
  int drawAreaY() const { return Y(20); }
  int drawAreaWidth() const { return X(965); }
  int drawAreaHeight() const { return Y(655); }
  int scrollBarY() const { return Y(675); }
  int scrollBarHeight() const { return Y(20); }
  int panelY() const { return Y(710); }
  int panelHeight() const { return Y(60); }
  int leftPanelX() const { return X(15); }
  int rightPanelX() const { return X(502); }
  int panelWidth() const { return X(480); }

  // Control panel rows.
  int row1() const { return Y(778); }
  int row2() const { return Y(806); }
  int row3() const { return Y(834); }
  int row4() const { return Y(861); }
};

}  // namespace qev
