#include "TestPattern.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace camsim {

namespace {

// 5x7 glyphs, one byte per row, bit 4 = leftmost column.
struct Glyph {
    char c;
    std::array<std::uint8_t, 7> rows;
};

constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
};

const Glyph* FindGlyph(char c)
{
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& glyph : kGlyphs)
        if (glyph.c == upper)
            return &glyph;
    return nullptr;  // drawn as a blank
}

void FillRect(std::uint8_t* plane, int stride, int x0, int y0, int w, int h, int maxW, int maxH, std::uint8_t value)
{
    const int x1 = std::min(x0 + w, maxW);
    const int y1 = std::min(y0 + h, maxH);
    for (int y = std::max(y0, 0); y < y1; ++y)
        std::fill(plane + y * stride + std::max(x0, 0), plane + y * stride + x1, value);
}

}  // namespace

void DrawTestPattern(const std::string& id, int index, int loopLength, int width, int height, std::uint8_t* y,
                     int yStride, std::uint8_t* u, std::uint8_t* v, int uvStride, const CameraView& view)
{
    // Background: diagonal stripes that shift by one stripe period per loop, and dark posts on a grid,
    // both fixed in the scene: a pixel shows the scene point the view puts there.
    const int period = std::max(width / 4, 8);
    const int shift = index * period / loopLength;
    const int post = std::max(height / 12, 2);
    const int zoom = std::max(view.zoom, 1);
    const long long panPx = static_cast<long long>(view.pan) * width / 100;
    const long long tiltPx = static_cast<long long>(view.tilt) * height / 100;
    auto wrap = [](long long value, int size) { return static_cast<int>(((value % size) + size) % size); };
    for (int row = 0; row < height; ++row) {
        const long long sceneY = (static_cast<long long>(row) - height / 2) * 100 / zoom + height / 2 - tiltPx;
        for (int col = 0; col < width; ++col) {
            const long long sceneX = (static_cast<long long>(col) - width / 2) * 100 / zoom + width / 2 + panPx;
            // Posts of three sizes (or none) by grid cell, so that no shift shows the same scene again.
            const long long cellX = (sceneX - wrap(sceneX, period)) / period, cellY = (sceneY - wrap(sceneY, period)) / period;
            const int size = post * static_cast<int>(((cellX * 73856093) ^ (cellY * 19349663)) & 3);
            const bool onPost = wrap(sceneX, period) < size && wrap(sceneY, period) < size;
            y[row * yStride + col] =
                onPost ? 24 : static_cast<std::uint8_t>(60 + wrap(sceneX + sceneY + shift, period) * 100 / period);
        }
    }
    // A tint per camera, so neighbouring cells differ at a glance.
    unsigned hash = 2166136261u;
    for (char c : id)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    const auto tintU = static_cast<std::uint8_t>(96 + hash % 64);
    const auto tintV = static_cast<std::uint8_t>(96 + (hash >> 8) % 64);
    for (int row = 0; row < height / 2; ++row) {
        std::fill(u + row * uvStride, u + row * uvStride + width / 2, tintU);
        std::fill(v + row * uvStride, v + row * uvStride + width / 2, tintV);
    }
    DrawMovingBlock(index, loopLength, width, height, y, yStride);

    // The id: as large as fits, on a light strip near the top.
    const int length = std::max<int>(static_cast<int>(id.size()), 1);
    const int scale = std::max(1, std::min(height / 28, (width * 9 / 10) / (length * 6)));
    DrawTextStrip(id, height / 8, scale, width, height, y, yStride);
}

void DrawMovingBlock(int index, int loopLength, int width, int height, std::uint8_t* y, int yStride)
{
    const int block = std::max(height / 6, 4);
    FillRect(y, yStride, index * (width + block) / loopLength - block, height - 2 * block, block, block, width, height,
             235);
}

void DrawTextStrip(const std::string& text, int top, int scale, int width, int height, std::uint8_t* y, int yStride)
{
    const int length = std::max<int>(static_cast<int>(text.size()), 1);
    const int textWidth = length * 6 * scale - scale;
    const int left = (width - textWidth) / 2;
    FillRect(y, yStride, left - 2 * scale, top - 2 * scale, textWidth + 4 * scale, 11 * scale, width, height, 225);
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
        const Glyph* glyph = FindGlyph(text[i]);
        if (glyph == nullptr)
            continue;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if ((glyph->rows[row] >> (4 - col)) & 1)
                    FillRect(y, yStride, left + (i * 6 + col) * scale, top + row * scale, scale, scale, width, height,
                             16);
    }
}

}  // namespace camsim
