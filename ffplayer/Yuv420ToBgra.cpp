#include "Yuv420ToBgra.h"

#include <libyuv/convert_argb.h>

#include <immintrin.h>

#include <array>
#include <cstddef>

namespace ffplayer {
namespace {

// libyuv's BT.601 coefficients with 6 fractional bits: chroma to blue, to green (from U and from V), to
// red; the luma gain (taken of y * 0x0101, keeping the high 16 bits) and the bias. The tests hold the
// bytes to libyuv's own, so a libyuv that changed its arithmetic would show there.
struct Coefficients {
    std::uint8_t ub, ug, vg, vr;
    std::int16_t yg, yb;
};
constexpr Coefficients kLimitedRange{128, 25, 52, 102, 18997, -1160};
constexpr Coefficients kFullRange{113, 22, 46, 90, 16320, 32};

constexpr int kStep = 32;  // pixels a step

// Within 128-bit lane k, 16-bit word w carries pixel 4k + w (w < 4) or 16 + 4k + w - 4 (w >= 4): the
// order in which interleaving each lane's low words, then its high words, gives pixels 0-15, then
// 16-31, in memory order.
constexpr int PixelOfWord(int word)
{
    const int lane = word / 8, w = word % 8;
    return w < 4 ? 4 * lane + w : 16 + 4 * lane + w - 4;
}

// Byte indices: each word's luma twice (y * 0x0101), and each word's U and V (V from the second table).
constexpr std::array<std::uint8_t, 64> LumaOrder()
{
    std::array<std::uint8_t, 64> order{};
    for (int word = 0; word < 32; ++word)
        order[2 * word] = order[2 * word + 1] = static_cast<std::uint8_t>(PixelOfWord(word));
    return order;
}

constexpr std::array<std::uint8_t, 64> ChromaOrder()
{
    std::array<std::uint8_t, 64> order{};
    for (int word = 0; word < 32; ++word) {
        order[2 * word] = static_cast<std::uint8_t>(PixelOfWord(word) / 2);
        order[2 * word + 1] = static_cast<std::uint8_t>(64 + PixelOfWord(word) / 2);
    }
    return order;
}

constexpr std::array<std::uint8_t, 64> kLumaOrder = LumaOrder();
constexpr std::array<std::uint8_t, 64> kChromaOrder = ChromaOrder();

bool HasAvx512()
{
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return has;
}

// One row of `width` (a multiple of kStep) pixels into a 64-byte aligned target, with libyuv's arithmetic.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void ConvertRow(const std::uint8_t* y, const std::uint8_t* u,
                                                                       const std::uint8_t* v, std::uint8_t* target,
                                                                       int width, const Coefficients& c)
{
    const __m512i lumaOrder = _mm512_loadu_si512(kLumaOrder.data());
    const __m512i chromaOrder = _mm512_loadu_si512(kChromaOrder.data());
    const __m512i toBlue = _mm512_set1_epi16(c.ub);
    const __m512i toGreen = _mm512_set1_epi16(static_cast<std::int16_t>(c.ug | c.vg << 8));
    const __m512i toRed = _mm512_set1_epi16(static_cast<std::int16_t>(c.vr << 8));
    const __m512i gain = _mm512_set1_epi16(c.yg);
    const __m512i bias = _mm512_set1_epi16(c.yb);
    const __m512i chromaZero = _mm512_set1_epi8(-128);
    const __m512i opaque = _mm512_set1_epi16(0xff);
    for (int x = 0; x < width; x += kStep) {
        // The orders pick from the loaded bytes only, so the registers' upper parts may stay undefined.
        const __m512i us = _mm512_castsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x / 2)));
        const __m512i vs = _mm512_castsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + x / 2)));
        const __m512i uv = _mm512_sub_epi8(_mm512_permutex2var_epi8(us, chromaOrder, vs), chromaZero);
        const __m512i blueBias = _mm512_add_epi16(_mm512_maddubs_epi16(toBlue, uv), bias);
        const __m512i greenBias = _mm512_sub_epi16(bias, _mm512_maddubs_epi16(toGreen, uv));
        const __m512i redBias = _mm512_add_epi16(_mm512_maddubs_epi16(toRed, uv), bias);
        const __m512i ys = _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + x)));
        // (The zero-masking form with every byte kept: GCC 12 warns about the plain form's undefined source.)
        const __m512i luma = _mm512_mulhi_epu16(_mm512_maskz_permutexvar_epi8(~__mmask64{0}, lumaOrder, ys), gain);
        const __m512i blue = _mm512_srai_epi16(_mm512_adds_epi16(luma, blueBias), 6);
        const __m512i green = _mm512_srai_epi16(_mm512_adds_epi16(luma, greenBias), 6);
        const __m512i red = _mm512_srai_epi16(_mm512_adds_epi16(luma, redBias), 6);
        const __m512i blueRed = _mm512_packus_epi16(blue, red);
        const __m512i greenAlpha = _mm512_packus_epi16(green, opaque);
        const __m512i blueGreen = _mm512_unpacklo_epi8(blueRed, greenAlpha);
        const __m512i redAlpha = _mm512_unpackhi_epi8(blueRed, greenAlpha);
        auto* pixels = reinterpret_cast<__m512i*>(target + 4 * x);
        _mm512_stream_si512(pixels, _mm512_unpacklo_epi16(blueGreen, redAlpha));
        _mm512_stream_si512(pixels + 1, _mm512_unpackhi_epi16(blueGreen, redAlpha));
    }
}

}  // namespace

bool Yuv420ToBgra::Convert(const std::uint8_t* y, int yStride, const std::uint8_t* u, int uStride,
                           const std::uint8_t* v, int vStride, std::uint8_t* target, int stride, int width, int height,
                           bool fullRange)
{
    const auto convert = fullRange ? &libyuv::J420ToARGB : &libyuv::I420ToARGB;
    const int stepped = width > 0 && height > 0 ? width / kStep * kStep : 0;
    const bool aligned = stride % 64 == 0 && reinterpret_cast<std::uintptr_t>(target) % 64 == 0;
    if (stepped == 0 || !aligned || !HasAvx512())
        return convert(y, yStride, u, uStride, v, vStride, target, stride, width, height) == 0;
    const Coefficients& coefficients = fullRange ? kFullRange : kLimitedRange;
    for (std::ptrdiff_t row = 0; row < height; ++row)
        ConvertRow(y + row * yStride, u + row / 2 * uStride, v + row / 2 * vStride, target + row * stride, stepped,
                   coefficients);
    // Streaming stores are not ordered with the hand-over to the window's thread that follows.
    _mm_sfence();
    if (stepped == width)
        return true;
    // The last columns (fewer than a step; `stepped` is even, so chroma starts at its half).
    return convert(y + stepped, yStride, u + stepped / 2, uStride, v + stepped / 2, vStride, target + 4 * stepped,
                   stride, width - stepped, height) == 0;
}

}  // namespace ffplayer
