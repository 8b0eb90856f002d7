#include "platform/image.h"

namespace pawlane {

Image::Image(int width, int height, std::vector<std::uint8_t> rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != std::size_t(width) * std::size_t(height) * 4)
        return;
    width_ = width;
    height_ = height;
    bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba));
}

std::array<std::uint8_t, 4> Image::pixel(int x, int y) const {
    if (!bytes_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0, 0};
    const std::uint8_t* p = bytes_->data() + (std::size_t(y) * width_ + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

bool operator==(const Image& a, const Image& b) {
    if (a.width_ != b.width_ || a.height_ != b.height_) return false;
    if (a.bytes_ == b.bytes_) return true;
    if (!a.bytes_ || !b.bytes_) return false;
    return *a.bytes_ == *b.bytes_;
}

}  // namespace pawlane
