#include "platform/layer.h"

#include <algorithm>

namespace pawlane {

Layer::~Layer() {
    removeFromSuperlayer();
    for (Layer* child : subs_) child->super_ = nullptr;
}

void Layer::addSublayer(Layer& child) {
    if (&child == this) return;
    child.removeFromSuperlayer();
    child.super_ = this;
    subs_.push_back(&child);
    if (RootLayer* r = child.root()) child.damageSubtree(*r);
}

void Layer::removeFromSuperlayer() {
    if (!super_) return;
    if (RootLayer* r = root()) damageSubtree(*r);
    auto& siblings = super_->subs_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    super_ = nullptr;
}

void Layer::setBounds(SizeF size) { change(bounds_, size); }
void Layer::setAnchor(PointF unit) { change(anchor_, unit); }
void Layer::setPosition(PointF p) { change(position_, p); }
void Layer::setMirrored(bool on) { change(mirrored_, on); }
void Layer::setOpacity(double o) { change(opacity_, o); }

void Layer::setHidden(bool on) {
    if (hidden_ == on) return;
    // Only one of the two calls records anything: the one made while shown.
    damage();
    hidden_ = on;
    damage();
}

RectF Layer::frame() const {
    // Mirroring about the anchor flips which side of it the anchor fraction lies on.
    const double ax = mirrored_ ? 1.0 - anchor_.x : anchor_.x;
    return {position_.x - ax * bounds_.w, position_.y - anchor_.y * bounds_.h, bounds_.w, bounds_.h};
}

RectF Layer::frameInRoot() const {
    RectF f = frame();
    for (const Layer* up = super_; up && up->super_; up = up->super_) {
        const RectF uf = up->frame();
        f.x += uf.x;
        f.y += uf.y;
    }
    return f;
}

bool Layer::effectivelyVisible() const {
    for (const Layer* l = this; l; l = l->super_)
        if (l->hidden_) return false;
    return true;
}

RootLayer* Layer::root() {
    Layer* top = this;
    while (top->super_) top = top->super_;
    return top == this ? nullptr : dynamic_cast<RootLayer*>(top);
}

void Layer::damage() {
    if (RootLayer* r = root()) damageSubtree(*r);
}

void Layer::damageSubtree(RootLayer& root) {
    if (!effectivelyVisible()) return;
    if (bounds_.w > 0 && bounds_.h > 0) root.addDamage(frameInRoot());
    for (Layer* child : subs_) child->damageSubtree(root);
}

void ImageLayer::setContents(const Image& image) {
    if (contents_.sharesPixelsWith(image) && contents_.width() == image.width()) return;
    damage();
    contents_ = image;
    damage();
}

void ImageLayer::setNearestFilter(bool on) { change(nearest_, on); }

void TextLayer::setString(std::string_view text) {
    if (string_ == text) return;
    damage();
    string_.assign(text);
    damage();
}

void TextLayer::setFontSize(double points) { change(fontSize_, points); }

void TextLayer::setColor(ColorF c) {
    if (c.r == color_.r && c.g == color_.g && c.b == color_.b && c.a == color_.a) return;
    damage();
    color_ = c;
    damage();
}

RectF RootLayer::damageBounds() const {
    if (count_ == 0) return {};
    double x0 = rects_[0].x, y0 = rects_[0].y;
    double x1 = x0 + rects_[0].w, y1 = y0 + rects_[0].h;
    for (std::size_t i = 1; i < count_; ++i) {
        const RectF& r = rects_[i];
        x0 = std::min(x0, r.x);
        y0 = std::min(y0, r.y);
        x1 = std::max(x1, r.x + r.w);
        y1 = std::max(y1, r.y + r.h);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

void RootLayer::addDamage(const RectF& r) {
    if (count_ < kMaxDamageRects) {
        rects_[count_++] = r;
        return;
    }
    // Full: collapse everything into one bounding rectangle, then add.
    RectF all = damageBounds();
    const double x1 = std::max(all.x + all.w, r.x + r.w), y1 = std::max(all.y + all.h, r.y + r.h);
    all.x = std::min(all.x, r.x);
    all.y = std::min(all.y, r.y);
    all.w = x1 - all.x;
    all.h = y1 - all.y;
    rects_[0] = all;
    count_ = 1;
}

}  // namespace pawlane
