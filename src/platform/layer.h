#pragma once
// A retained 2-D layer tree: behaviour code only sets properties; a view walks
// the tree and paints it. Coordinates are points, y upward from the strip floor.
// Every visible change is recorded as damage in the root so the view can
// repaint just the rectangles that changed since it last looked.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/image.h"

namespace pawlane {

struct PointF {
    double x = 0, y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

struct SizeF {
    double w = 0, h = 0;
    friend bool operator==(const SizeF&, const SizeF&) = default;
};

class RootLayer;

class Layer {
public:
    enum class Kind { Plain, Image, Text };

    Layer() = default;
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    virtual Kind kind() const { return Kind::Plain; }

    // Appends child on top of the existing sublayers (detaching it from any
    // previous superlayer). The tree does not own its layers: whoever created
    // a layer keeps it; destroying a layer detaches it.
    void addSublayer(Layer& child);
    void removeFromSuperlayer();
    Layer* superlayer() const { return super_; }
    const std::vector<Layer*>& sublayers() const { return subs_; }

    SizeF bounds() const { return bounds_; }
    void setBounds(SizeF size);
    // Unit coordinates within the bounds, (0, 0) bottom-left; default centre.
    PointF anchor() const { return anchor_; }
    void setAnchor(PointF unit);
    // Where the anchor sits, in the superlayer's coordinates.
    PointF position() const { return position_; }
    void setPosition(PointF p);
    // Horizontal mirror about the anchor (the art faces right; mirrored faces left).
    bool mirrored() const { return mirrored_; }
    void setMirrored(bool on);
    bool hidden() const { return hidden_; }
    void setHidden(bool on);
    double opacity() const { return opacity_; }
    void setOpacity(double o);

    // The layer's rectangle in its superlayer's coordinates.
    RectF frame() const;
    // The same in the root's coordinates.
    RectF frameInRoot() const;
    // Not hidden itself nor under a hidden ancestor.
    bool effectivelyVisible() const;

protected:
    // Records the layer's current rectangle (and its sublayers') as damaged,
    // when it is shown and hangs under a root.
    void damage();
    template <class T>
    void change(T& field, const T& value) {
        if (field == value) return;
        damage();
        field = value;
        damage();
    }

private:
    void damageSubtree(RootLayer& root);
    RootLayer* root();

    Layer* super_ = nullptr;
    std::vector<Layer*> subs_;
    SizeF bounds_;
    PointF anchor_{0.5, 0.5};
    PointF position_;
    bool mirrored_ = false;
    bool hidden_ = false;
    double opacity_ = 1.0;
};

class ImageLayer : public Layer {
public:
    Kind kind() const override { return Kind::Image; }
    // Drawn stretched over the bounds.
    const Image& contents() const { return contents_; }
    void setContents(const Image& image);
    // Nearest-neighbour magnification and minification (pixel art) instead of smoothing.
    bool nearestFilter() const { return nearest_; }
    void setNearestFilter(bool on);

private:
    Image contents_;
    bool nearest_ = false;
};

// A single line of bold text centred in the bounds, rendered at twice the
// point resolution.
class TextLayer : public Layer {
public:
    Kind kind() const override { return Kind::Text; }
    const std::string& string() const { return string_; }
    void setString(std::string_view text);
    double fontSize() const { return fontSize_; }
    void setFontSize(double points);
    ColorF color() const { return color_; }
    void setColor(ColorF c);

private:
    std::string string_;
    double fontSize_ = 12;
    ColorF color_{1, 1, 1, 1};
};

// The top of a tree: the strip view's root. Collects damage until the view
// takes it. Never allocates after construction: past its capacity the damage
// collapses into one bounding rectangle.
class RootLayer : public Layer {
public:
    static constexpr std::size_t kMaxDamageRects = 64;

    bool hasDamage() const { return count_ > 0; }
    // Rectangles (root coordinates) changed since the last clearDamage; may overlap.
    const RectF* damageBegin() const { return rects_.data(); }
    const RectF* damageEnd() const { return rects_.data() + count_; }
    std::size_t damageCount() const { return count_; }
    // The union's bounding rectangle (empty when nothing changed).
    RectF damageBounds() const;
    void clearDamage() { count_ = 0; }
    void addDamage(const RectF& r);

private:
    std::array<RectF, kMaxDamageRects> rects_{};
    std::size_t count_ = 0;
};

}  // namespace pawlane
