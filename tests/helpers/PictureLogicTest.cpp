// Pictor's route choice, converted names and page layout (twips).
#include <gtest/gtest.h>

#include "helpers/pictor/PictureLogic.h"

namespace {
using namespace pictor;

constexpr double kA4W = 11906, kA4H = 16838;  // A4 upright, twips

TEST(PictorRoutes, TokensCompareExactly) {
    for (const char* t : {"jpg", "jpeg", "png", "gif", "tif"})
        EXPECT_EQ(RouteFor(t), Route::kDirect);
    EXPECT_EQ(RouteFor("heic"), Route::kConverter);
    for (const char* t : {"JPG", "Png", "HEIC", "Heic", "bmp", "", "jpg "})
        EXPECT_EQ(RouteFor(t), Route::kService) << t;
}

TEST(PictorRoutes, ConvertedPathReplacesTheTokenEverywhereInAnyCase) {
    EXPECT_EQ(ConvertedPath("/in/HEIC shots/Heic.heiC"), "/in/png shots/png.png");
    EXPECT_EQ(ConvertedPath("/in/photo.heic"), "/in/photo.png");
    EXPECT_EQ(ConvertedPath("/in/photo.jpg"), "/in/photo.jpg");
}

TEST(PictorLayout, OrientationFollowsThePicture) {
    EXPECT_TRUE(LayOut(3000, 2000, kA4W, kA4H).landscape);
    EXPECT_FALSE(LayOut(2000, 2000, kA4W, kA4H).landscape);  // square: portrait
    EXPECT_FALSE(LayOut(2000, 3000, kA4W, kA4H).landscape);
    const auto p = LayOut(3000, 2000, kA4W, kA4H);
    EXPECT_EQ(p.pageWidth, kA4H);  // measured after turning the page
    EXPECT_EQ(p.pageHeight, kA4W);
}

TEST(PictorLayout, FourCasesWithStrictComparisons) {
    // case 1: too wide only (portrait picture wider than the page, not as tall)
    auto p = LayOut(12000, 14000, kA4W, kA4H);
    EXPECT_EQ(p.layoutCase, 1);
    EXPECT_DOUBLE_EQ(p.width, kA4W);
    EXPECT_DOUBLE_EQ(p.height, kA4W * 14000 / 12000);
    // case 2: too tall only
    p = LayOut(6000, 20000, kA4W, kA4H);
    EXPECT_EQ(p.layoutCase, 2);
    EXPECT_DOUBLE_EQ(p.height, kA4H);
    EXPECT_DOUBLE_EQ(p.width, kA4H * 6000 / 20000);
    // case 4: fits
    p = LayOut(3000, 4000, kA4W, kA4H);
    EXPECT_EQ(p.layoutCase, 4);
    EXPECT_EQ(p.width, 3000);
    EXPECT_EQ(p.height, 4000);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // As wide as the page and taller: no case applies strictly, so its own size.
    p = LayOut(kA4W, 20000, kA4W, kA4H);
    EXPECT_EQ(p.layoutCase, 4);
    EXPECT_EQ(p.width, kA4W);
    EXPECT_EQ(p.height, 20000);
    // As tall as the page and wider: likewise.
    p = LayOut(13000, kA4H, kA4W, kA4H);
    EXPECT_EQ(p.layoutCase, 4);
}

TEST(PictorLayout, TooLargeBothWaysFitsTheSmallerOverflow) {
    // dW = 2000 > dH = 1000: fit to the width.
    auto p = LayOut(kA4W + 2000, kA4H + 1000, kA4W, kA4H);
    EXPECT_EQ(p.layoutCase, 3);
    EXPECT_DOUBLE_EQ(p.height, kA4W * (kA4H + 1000) / (kA4W + 2000));
    EXPECT_DOUBLE_EQ(p.width, kA4W);
    // dH = 3000 > dW = 1000: fit to the height.
    p = LayOut(kA4W + 1000, kA4H + 3000, kA4W, kA4H);
    EXPECT_DOUBLE_EQ(p.height, kA4H);
    // Equal overflow after rounding (1500.4 and 1499.6 both give 1500): fit to the height.
    p = LayOut(kA4H + 1500.4, kA4W + 1499.6, kA4W, kA4H);
    EXPECT_TRUE(p.landscape);
    EXPECT_EQ(p.layoutCase, 3);
    EXPECT_DOUBLE_EQ(p.height, kA4W);
    // Halves round to even: 2500.5 -> 2500 and 2499.5 -> 2500 are equal too.
    p = LayOut(kA4H + 2500.5, kA4W + 2499.5, kA4W, kA4H);
    EXPECT_DOUBLE_EQ(p.height, kA4W);
    // 2001.5 -> 2002 against 2002: equal again; 3000 against 1000: fit to the width.
    p = LayOut(kA4H + 2001.5, kA4W + 2002, kA4W, kA4H);
    EXPECT_DOUBLE_EQ(p.height, kA4W);
    p = LayOut(kA4H + 3000, kA4W + 1000, kA4W, kA4H);
    EXPECT_DOUBLE_EQ(p.width, kA4H);
}

TEST(PictorLayout, TooLargeBothWaysNeverLeavesThePage) {
    // Upright, equal overflow: fitting the height would push the width off the page.
    auto q = LayOut(kA4W + 1500, kA4H + 1500, kA4W, kA4H);
    EXPECT_FALSE(q.landscape);
    EXPECT_DOUBLE_EQ(q.width, kA4W);
    EXPECT_LE(q.height, kA4H);

    // A 4000 x 3000 photo: the width overflows more, yet fitting the width would make it
    // taller than the turned page; it is fitted to the height instead.
    const auto p = LayOut(60000, 45000, kA4W, kA4H);
    EXPECT_TRUE(p.landscape);
    EXPECT_EQ(p.layoutCase, 3);
    EXPECT_LE(p.width, p.pageWidth + 0.5);
    EXPECT_LE(p.height, p.pageHeight + 0.5);
    EXPECT_DOUBLE_EQ(p.height, kA4W);
    EXPECT_NEAR(p.width / p.height, 60000.0 / 45000.0, 1e-9);
}

}  // namespace
