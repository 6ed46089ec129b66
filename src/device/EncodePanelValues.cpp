#include "device/EncodePanelValues.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace EncodePanelValues {

namespace {
int Clamped(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
}  // namespace

int DecimalOf(const std::string& text)
{
    return Clamped(std::strtoll(text.c_str(), nullptr, 10));
}

std::string SizeText(int width, int height)
{
    return std::to_string(width) + "X" + std::to_string(height);
}

std::optional<EncodeParams> Read(const std::string& bitRateText, const std::string& frameRateText,
                                 const std::string& qualityText, const std::string& sizeText)
{
    if (bitRateText.empty())
        return std::nullopt;
    EncodeParams params;
    params.bit_rate = Clamped(static_cast<long long>(DecimalOf(bitRateText)) * 8);
    params.fps = DecimalOf(frameRateText);
    params.qos = DecimalOf(qualityText);
    const size_t x = sizeText.find('X');
    params.width = DecimalOf(sizeText.substr(0, x));
    params.height = DecimalOf(x == std::string::npos ? sizeText : sizeText.substr(x + 1));
    params.key_frame_interval = params.qos;
    return params;
}

}  // namespace EncodePanelValues
