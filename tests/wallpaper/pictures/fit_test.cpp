#include "wallpaper/pictures/fit.h"

#include <gtest/gtest.h>

using namespace wallpaper;

TEST(FitPicture, ASmallerPictureIsCentredAtItsOwnSize) {
    auto p = FitPicture(3660, 2640, 400, 300);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->stretch);
    EXPECT_EQ(p->left, 1630);
    EXPECT_EQ(p->top, 1170);
    EXPECT_EQ(p->width, 400);
    EXPECT_EQ(p->height, 300);
}

TEST(FitPicture, APictureExactlyThePanesSizeIsNotStretched) {
    auto p = FitPicture(500, 400, 500, 400);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->stretch);
    EXPECT_EQ(p->left, 0);
    EXPECT_EQ(p->top, 0);
    EXPECT_EQ(p->width, 500);
    EXPECT_EQ(p->height, 400);
}

TEST(FitPicture, AWidePictureFillsTheWidthAndIsCentredVertically) {
    auto p = FitPicture(500, 400, 2000, 500);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->stretch);
    EXPECT_EQ(p->left, 0);
    EXPECT_EQ(p->width, 500);
    EXPECT_EQ(p->height, 125);
    EXPECT_EQ(p->top, 137.5f);
}

TEST(FitPicture, ATallPictureFillsTheHeightAndIsCentredHorizontally) {
    auto p = FitPicture(500, 400, 600, 1600);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->stretch);
    EXPECT_EQ(p->top, 0);
    EXPECT_EQ(p->height, 400);
    EXPECT_EQ(p->width, 150);
    EXPECT_EQ(p->left, 175);
}

TEST(FitPicture, WidthFittingButHeightNotIsScaledByTheHeight) {
    auto p = FitPicture(500, 400, 300, 800);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->stretch);
    EXPECT_EQ(p->height, 400);
    EXPECT_EQ(p->width, 150);
    EXPECT_EQ(p->left, 175);
    EXPECT_EQ(p->top, 0);
}

TEST(FitPicture, EqualRatiosTakeTheHeightBranch) {
    auto p = FitPicture(3660, 2640, 7320, 5280);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->stretch);
    EXPECT_EQ(p->width, 3660);
    EXPECT_EQ(p->height, 2640);
    // Here the ratios are equal too, but the width computed from the height is off by rounding:
    // only the height branch keeps the height and the top exact (the width branch would give
    // height 2640.0002 and top -0.0001).
    p = FitPicture(3660, 2640, 101687, 73348);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->height, 2640);
    EXPECT_EQ(p->top, 0);
    EXPECT_NE(p->width, 3660);
    EXPECT_NEAR(p->width, 3660, 0.01);
}

TEST(FitPicture, AnEmptyPaneOrPictureGivesNothing) {
    EXPECT_FALSE(FitPicture(0, 400, 100, 100));
    EXPECT_FALSE(FitPicture(500, -1, 100, 100));
    EXPECT_FALSE(FitPicture(500, 400, 0, 100));
}

TEST(FitPicture, PixelsAreRoundedAndNeverVanish) {
    EXPECT_EQ(ToPixels(*FitPicture(500, 400, 2000, 500)), (PixelRect{0, 138, 500, 125}));
    // A picture a thousand times wider than high still keeps one row.
    EXPECT_EQ(ToPixels(*FitPicture(500, 400, 100000, 10)), (PixelRect{0, 200, 500, 1}));
}
