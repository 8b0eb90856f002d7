// The strip window's painter on Qt's offscreen platform: where layers land
// (y up from the floor), nearest-neighbour magnification, mirroring, opacity,
// text, and repainting exactly what the layer tree reports as changed.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/strip_window_qt.h"
#include "qt_app.h"

namespace pawlane {
namespace {

// Two pixels side by side: opaque red, opaque blue.
Image redBlue() { return Image(2, 1, {255, 0, 0, 255, 0, 0, 255, 255}); }

class StripPainterTest : public ::testing::Test {
protected:
    StripPainterTest() {
        strip.setFrameSource([] { return RectF{0, 0, 200, 60}; });
        strip.refreshFrame();
        strip.rootLayer().addSublayer(sprite);
        sprite.setContents(redBlue());
        sprite.setNearestFilter(true);
        sprite.setAnchor({0, 0});
        sprite.setBounds({20, 10});
        sprite.setPosition({30, 0});
        strip.commit();
    }
    QColor at(int x, int yUp) const { return strip.buffer().pixelColor(x, 59 - yUp); }

    QApplication& application = testApp();  // before any widget
    QtStripWindow strip;
    ImageLayer sprite;
};

TEST_F(StripPainterTest, SpritesLandOnTheFloorMagnifiedWithoutSmoothing) {
    // 20 x 10 from 2 x 1: columns 30..39 red, 40..49 blue, rows 0..9 from the floor.
    EXPECT_EQ(at(30, 0), QColor(Qt::red));
    EXPECT_EQ(at(39, 9), QColor(Qt::red)) << "smoothing would blend the middle columns";
    EXPECT_EQ(at(40, 0), QColor(Qt::blue));
    EXPECT_EQ(at(49, 9), QColor(Qt::blue));
    EXPECT_EQ(at(35, 10).alpha(), 0) << "above the sprite";
    EXPECT_EQ(at(29, 0).alpha(), 0);
    EXPECT_EQ(at(50, 0).alpha(), 0);
}

TEST_F(StripPainterTest, MirroringFlipsTheSpriteInPlace) {
    sprite.setMirrored(true);  // anchored at its left edge: mirrored, it hangs to the left
    strip.commit();
    EXPECT_EQ(at(10, 0), QColor(Qt::blue));
    EXPECT_EQ(at(29, 0), QColor(Qt::red));
    EXPECT_EQ(at(30, 0).alpha(), 0) << "the old place is cleared";
}

TEST_F(StripPainterTest, OpacityAndHidingCarryDownTheTree) {
    Layer group;
    strip.rootLayer().addSublayer(group);
    group.addSublayer(sprite);
    group.setOpacity(0.5);
    strip.commit();
    EXPECT_NEAR(at(30, 0).alpha(), 128, 2);
    group.setHidden(true);
    strip.commit();
    EXPECT_EQ(at(30, 0).alpha(), 0);
}

TEST_F(StripPainterTest, RepaintsWhatTheTreeReportsAndNothingElse) {
    // A second sprite overlapping the first; moving it damages part of the first.
    ImageLayer other;
    other.setContents(redBlue());
    other.setNearestFilter(true);
    other.setAnchor({0, 0});
    other.setBounds({4, 2});
    other.setPosition({44, 4});
    strip.rootLayer().addSublayer(other);
    strip.commit();
    EXPECT_EQ(at(44, 4), QColor(Qt::red));

    other.setPosition({160, 20});
    strip.commit();
    EXPECT_EQ(at(160, 20), QColor(Qt::red));
    EXPECT_EQ(at(44, 4), QColor(Qt::blue)) << "the sprite below is painted again where the other left";

    // A change the tree did not report is not painted: the tick skips
    // everything that did not change.
    other.setPosition({100, 20});
    strip.rootLayer().clearDamage();
    strip.commit();
    EXPECT_EQ(at(160, 20), QColor(Qt::red));
    EXPECT_EQ(at(100, 20).alpha(), 0);
}

TEST_F(StripPainterTest, TextIsDrawnInItsColourWithinItsBounds) {
    TextLayer text;
    text.setString("\u2665");
    text.setFontSize(14);
    text.setColor({1, 0, 0, 1});
    text.setAnchor({0, 0});
    text.setBounds({30, 20});
    text.setPosition({100, 30});
    strip.rootLayer().addSublayer(text);
    strip.commit();
    int red = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 90; x < 140; ++x) {
            const QColor c = strip.buffer().pixelColor(x, y);
            if (c.alpha() == 0) continue;
            const bool inside = x >= 100 && x < 130 && 59 - y >= 30 && 59 - y < 50;
            if (!inside) ++outside;
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
        }
    EXPECT_GT(red, 10);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace pawlane

namespace pawlane {
namespace {

// A sprite with holes, drawn at `scale`: pixels of a 6 x 4 pattern.
QImage patternAt(int scale, qreal dpr = 1) {
    static const char* rows[] = {"#..##.", "##..##", "......", ".####."};
    QImage image(40 * dpr, 20 * dpr, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            if (rows[y][x] == '#')
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) image.setPixel(2 + x * scale + dx, 1 + y * scale + dy, 0xff336699);
    image.setDevicePixelRatio(dpr);
    return image;
}

TEST(OpaquePixelsTest, CoversExactlyThePaintedPixelsInFewRectangles) {
    for (int scale : {1, 3}) {
        const QImage image = patternAt(scale);
        const QRegion region = opaquePixels(image, QRect(0, 0, 40, 20));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(region.contains(QPoint(x, y)), qAlpha(image.pixel(x, y)) != 0)
                    << "scale " << scale << " at " << x << "," << y;
        // Repeated rows make taller bands, not more rectangles.
        EXPECT_EQ(region.rectCount(), 5) << "scale " << scale;
    }
    // Only the asked area counts.
    EXPECT_EQ(opaquePixels(patternAt(3), QRect(0, 0, 40, 4)).boundingRect(), QRect(2, 1, 15, 3));
}

TEST(OpaquePixelsTest, OnAHighDensityImageCoversEveryTouchedLogicalPixel) {
    // Device pixels drawn at 3 per pattern pixel with 2 device pixels per
    // logical one: every logical pixel holding any painted device pixel.
    const QImage image = patternAt(3, 2);
    const QRegion region = opaquePixels(image, QRect(0, 0, 40, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            bool painted = false;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) painted = painted || qAlpha(image.pixel(2 * x + dx, 2 * y + dy)) != 0;
            ASSERT_EQ(region.contains(QPoint(x, y)), painted) << x << "," << y;
        }
}

}  // namespace
}  // namespace pawlane
