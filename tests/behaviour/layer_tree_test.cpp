// The retained layer tree: geometry and the damage a view repaints.
#include <gtest/gtest.h>

#include <memory>

#include "platform/layer.h"

namespace pawlane {
namespace {

bool sameRect(const RectF& a, const RectF& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

TEST(LayerTree, FrameFollowsAnchorAndPosition) {
    ImageLayer l;
    l.setBounds({30, 20});
    l.setAnchor({0.5, 0});
    l.setPosition({100, 4});
    EXPECT_TRUE(sameRect(l.frame(), {85, 4, 30, 20}));
    l.setMirrored(true);  // about the centre: same place
    EXPECT_TRUE(sameRect(l.frame(), {85, 4, 30, 20}));
    l.setAnchor({0, 0});
    EXPECT_TRUE(sameRect(l.frame(), {70, 4, 30, 20})) << "mirrored about its left edge";
}

TEST(LayerTree, VisibleChangesDamageOldAndNewRectsOnly) {
    RootLayer root;
    TextLayer t;
    t.setBounds({10, 10});
    t.setPosition({50, 50});
    root.addSublayer(t);
    root.clearDamage();

    t.setPosition({50, 50});
    t.setString("");
    EXPECT_FALSE(root.hasDamage()) << "unchanged values";

    t.setPosition({60, 50});
    ASSERT_EQ(root.damageCount(), 2u);
    EXPECT_TRUE(sameRect(root.damageBegin()[0], {45, 45, 10, 10}));
    EXPECT_TRUE(sameRect(root.damageBegin()[1], {55, 45, 10, 10}));
    EXPECT_TRUE(sameRect(root.damageBounds(), {45, 45, 20, 10}));
    root.clearDamage();

    t.setHidden(true);
    EXPECT_EQ(root.damageCount(), 1u) << "where it was";
    root.clearDamage();
    t.setString("hidden text");
    t.setPosition({200, 50});
    EXPECT_FALSE(root.hasDamage()) << "nothing visible changed";
    t.setHidden(false);
    ASSERT_EQ(root.damageCount(), 1u);
    EXPECT_TRUE(sameRect(root.damageBegin()[0], {195, 45, 10, 10}));
}

TEST(LayerTree, DestroyedLayersLeaveTheTreeAndDamageTheirPlace) {
    RootLayer root;
    auto a = std::make_unique<ImageLayer>();
    ImageLayer b;
    a->setBounds({4, 4});
    root.addSublayer(*a);
    root.addSublayer(b);
    root.clearDamage();
    a.reset();
    ASSERT_EQ(root.sublayers().size(), 1u);
    EXPECT_EQ(root.sublayers()[0], &b);
    EXPECT_TRUE(root.hasDamage());

    root.addSublayer(b);  // re-adding moves it to the top, no duplicate
    EXPECT_EQ(root.sublayers().size(), 1u);
}

TEST(LayerTree, DamageCollapsesIntoOneRectangleWhenFull) {
    RootLayer root;
    for (std::size_t i = 0; i <= RootLayer::kMaxDamageRects; ++i)
        root.addDamage({static_cast<double>(i) * 10, 0, 5, 5});
    EXPECT_EQ(root.damageCount(), 1u);
    EXPECT_TRUE(sameRect(root.damageBegin()[0], {0, 0, RootLayer::kMaxDamageRects * 10.0 + 5, 5}));
}

}  // namespace
}  // namespace pawlane
