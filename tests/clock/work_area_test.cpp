// Where the main dialog and the small dialogs go on screens smaller than the dialog's
// usual place allows.
#include <gtest/gtest.h>

#include "work_area.h"

namespace {

// The main dialog's visible shape: a 472 x 324 region box at (7, 25) of its window.
const RECT kShape = {7, 25, 479, 349};

POINT Fit(int x, int y, RECT area) { return FitIntoWorkArea(kShape, x, y, area); }

TEST(WorkArea, WhereTheShapeFitsThePlaceIsKept) {
    POINT at = Fit(1280 / 2 - 30, 0, RECT{0, 0, 1280, 994});
    EXPECT_EQ(610, at.x);
    EXPECT_EQ(0, at.y);
    // Exactly touching the right edge still fits.
    at = Fit(1000 - 479, 0, RECT{0, 0, 1000, 600});
    EXPECT_EQ(521, at.x);
}

TEST(WorkArea, TooFarRightOrDownMovesLeftAndUpJustEnough) {
    // 800 x 600 with a 28-pixel taskbar at the bottom: x 370 would end at 849.
    POINT at = Fit(370, 0, RECT{0, 0, 800, 572});
    EXPECT_EQ(800 - 479, at.x);
    EXPECT_EQ(0, at.y);
    at = Fit(0, 300, RECT{0, 0, 800, 572});
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(572 - 349, at.y);
}

TEST(WorkArea, ATaskbarAtTheTopOrLeftPushesItInside) {
    POINT at = Fit(290, 0, RECT{0, 30, 640, 480});
    EXPECT_EQ(640 - 479, at.x);
    EXPECT_EQ(30 - 25, at.y) << "the shape starts at the work area's top";
    at = Fit(0, 0, RECT{60, 0, 1024, 768});
    EXPECT_EQ(60 - 7, at.x);
}

TEST(WorkArea, LargerThanTheWorkAreaKeepsItsTopLeftInside) {
    POINT at = Fit(100, 100, RECT{0, 0, 320, 200});
    EXPECT_EQ(-7, at.x);
    EXPECT_EQ(-25, at.y);
}

}  // namespace
