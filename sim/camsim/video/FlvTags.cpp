#include "FlvTags.h"

#include <cstring>
#include <string>

namespace camsim::flv {

namespace {

void Put8(std::vector<std::uint8_t>& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value)); }

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    Put8(out, value >> 8);
    Put8(out, value);
}

void Put24(std::vector<std::uint8_t>& out, unsigned value)
{
    Put8(out, value >> 16);
    Put16(out, value);
}

void Put32(std::vector<std::uint8_t>& out, unsigned value)
{
    Put16(out, value >> 16);
    Put16(out, value);
}

void PutAmfString(std::vector<std::uint8_t>& out, const std::string& text)
{
    Put16(out, static_cast<unsigned>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void PutAmfNumber(std::vector<std::uint8_t>& out, const std::string& key, double value)
{
    PutAmfString(out, key);
    Put8(out, 0);  // AMF0 number
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 56; shift >= 0; shift -= 8)
        Put8(out, static_cast<unsigned>(bits >> shift));
}

void AppendTag(std::vector<std::uint8_t>& out, unsigned type, std::uint32_t timestampMs, const std::uint8_t* body,
               std::size_t size)
{
    Put8(out, type);
    Put24(out, static_cast<unsigned>(size));
    Put24(out, timestampMs & 0xffffff);
    Put8(out, timestampMs >> 24);
    Put24(out, 0);
    out.insert(out.end(), body, body + size);
    Put32(out, static_cast<unsigned>(size + 11));
}

}  // namespace

void AppendFileHeader(std::vector<std::uint8_t>& out)
{
    // Video only: a header that announces audio which never comes makes players probe for megabytes.
    const std::uint8_t header[] = {'F', 'L', 'V', 1, 0x01, 0, 0, 0, 9, 0, 0, 0, 0};
    out.insert(out.end(), std::begin(header), std::end(header));
}

void AppendMetadata(std::vector<std::uint8_t>& out, std::uint32_t timestampMs, double durationSeconds, int width,
                    int height, double fps)
{
    std::vector<std::uint8_t> body;
    Put8(body, 2);  // AMF0 string
    PutAmfString(body, "onMetaData");
    Put8(body, 8);  // ECMA array
    Put32(body, 5);
    PutAmfNumber(body, "duration", durationSeconds);
    PutAmfNumber(body, "width", width);
    PutAmfNumber(body, "height", height);
    PutAmfNumber(body, "framerate", fps);
    PutAmfNumber(body, "videocodecid", 7);  // AVC
    Put24(body, 9);                         // object end
    AppendTag(out, 18, timestampMs, body.data(), body.size());
}

void AppendVideoTag(std::vector<std::uint8_t>& out, std::uint32_t timestampMs, const std::vector<std::uint8_t>& body)
{
    AppendTag(out, 9, timestampMs, body.data(), body.size());
}

}  // namespace camsim::flv
