// Where the desktop program puts chips: in sight, beside each other, and
// on the monitor a DPI change sent them to.
#include <gtest/gtest.h>

#include <vector>

#include "desk/deskgeometry.h"

namespace {

std::vector<int> Corners(const DeskRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool Overlap(const DeskRect& a, const DeskRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

TEST(DeskPlaces, OutOfSight) {
  const std::vector<DeskRect> two = {{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
  struct {
    DeskRect chip;
    bool out;
    const char* what;
  } cases[] = {
      {{100, 100, 300, 250}, false, "inside"},
      {{600, 1021, 800, 1171}, true, "the month row below the edge"},
      {{100, -10, 300, 140}, true, "the month row above the top"},
      {{100, -4, 300, 146}, false, "a little of the month row above the top"},
      {{1100, 100, 1300, 250}, false, "across two monitors"},
      {{2400, 100, 2600, 250}, false, "a fifth off the right"},
      {{-40, 100, 160, 250}, false, "a fifth off the left"},
      {{-60, 100, 140, 250}, true, "over a quarter off the left"},
      {{5000, 300, 5200, 450}, true, "on a monitor that is gone"},
  };
  for (auto& c : cases) EXPECT_EQ(c.out, ChipOutOfSight(c.chip, 24, two)) << c.what;
}

// A new chip goes to a free place near where it was asked for, inside the
// work area; with no free place left, inside the work area all the same.
TEST(DeskPlaces, FreePlaceForANewChip) {
  const DeskRect work = {0, 0, 1280, 1024};
  std::vector<DeskRect> taken = {{100, 100, 300, 250}, {300, 100, 500, 250}};
  DeskRect p = FreePlace(work, 200, 150, taken, 200, 175, 8);
  EXPECT_TRUE(p.left >= 0 && p.top >= 0 && p.right <= 1280 && p.bottom <= 1024) << p.left << "," << p.top;
  for (const DeskRect& t : taken) EXPECT_FALSE(Overlap(p, {t.left - 8, t.top - 8, t.right + 8, t.bottom + 8}));
  EXPECT_LT(p.top, 420) << "beside the chips it was asked from, not far off";
  EXPECT_EQ(std::vector<int>({200, 150}), std::vector<int>({p.right - p.left, p.bottom - p.top}));

  DeskRect full = FreePlace(work, 200, 150, {{0, 0, 1280, 1024}}, 1250, 1000, 8);
  EXPECT_EQ(Corners({1080, 874, 1280, 1024}), Corners(full)) << "no free place: kept inside";
}

// After a DPI change the chip takes its own size centred on the suggested
// rectangle, so it stays on the monitor the system moved it to.
TEST(DeskPlaces, CentredOnTheSuggestedRectangle) {
  EXPECT_EQ(Corners({1050, 25, 1250, 175}), Corners(CentredOn({1000, 0, 1300, 200}, 200, 150)));
  EXPECT_EQ(Corners({1000, 0, 1300, 200}), Corners(CentredOn({1000, 0, 1300, 200}, 300, 200)));
  EXPECT_EQ(Corners({-50, -25, 350, 225}), Corners(CentredOn({0, 0, 300, 200}, 400, 250)));
}
