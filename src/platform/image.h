#pragma once
// An immutable RGBA raster: 8 bits per channel, alpha premultiplied and last,
// rows top first, 4 * width bytes per row. Copies share the pixels.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pawlane {

class Image {
public:
    Image() = default;
    // Takes ownership of width * height * 4 bytes; a size mismatch yields a null image.
    Image(int width, int height, std::vector<std::uint8_t> rgba);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return !bytes_; }
    const std::uint8_t* data() const { return bytes_ ? bytes_->data() : nullptr; }
    std::size_t byteCount() const { return bytes_ ? bytes_->size() : 0; }
    // (r, g, b, a) of one pixel; transparent black outside the raster.
    std::array<std::uint8_t, 4> pixel(int x, int y) const;
    // Same pointer: the very same pixels, not merely equal ones.
    bool sharesPixelsWith(const Image& other) const { return bytes_ == other.bytes_; }

    friend bool operator==(const Image& a, const Image& b);

private:
    int width_ = 0;
    int height_ = 0;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
};

}  // namespace pawlane
