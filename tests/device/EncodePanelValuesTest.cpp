#include "device/EncodePanelValues.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Read {
    const char *bitRate, *fps, *qos, *size;
    int bit_rate, fpsOut, qosOut, key, height, width;
};

}  // namespace

TEST(EncodePanelValues, PanelTextsBecomeEncodingParameters)
{
    const Read table[] = {
        {"64", "25", "28", "640X360", 512, 25, 28, 28, 360, 640},
        {"160", "12", "22", "1280X720", 1280, 12, 22, 22, 720, 1280},
        {"16", "1", "51", "1280", 128, 1, 51, 51, 1280, 1280},      // no "X": the whole text for both
        {"x", "fast", "", "", 0, 0, 0, 0, 0, 0},                    // not numbers: 0
        {" 7kb", "+3", "-4", "320X180X2", 56, 3, -4, -4, 180, 320},  // leading digits count; the first "X" splits
        {"99999999999", "1", "22", "X", INT_MAX, 1, 22, 22, 0, 0},  // held at the int range, never overflowing
    };
    for (const Read& row : table) {
        const auto params = EncodePanelValues::Read(row.bitRate, row.fps, row.qos, row.size);
        ASSERT_TRUE(params) << row.bitRate;
        EXPECT_EQ(params->bit_rate, row.bit_rate) << row.bitRate;
        EXPECT_EQ(params->fps, row.fpsOut) << row.fps;
        EXPECT_EQ(params->qos, row.qosOut) << row.qos;
        EXPECT_EQ(params->key_frame_interval, row.key) << row.qos;
        EXPECT_EQ(params->height, row.height) << row.size;
        EXPECT_EQ(params->width, row.width) << row.size;
    }
    EXPECT_FALSE(EncodePanelValues::Read("", "25", "28", "640X360")) << "an empty bit rate leaves the panel unchanged";
}

TEST(EncodePanelValues, ShownValuesAndListIndexes)
{
    EXPECT_EQ(EncodePanelValues::ShownBitRate(512), 64);
    EXPECT_EQ(EncodePanelValues::ShownBitRate(1023), 127);
    EXPECT_EQ(EncodePanelValues::SizeText(1280, 720), "1280X720");
    EXPECT_EQ(EncodePanelValues::QualityIndex(21), -1);
    EXPECT_EQ(EncodePanelValues::QualityIndex(22), 0);
    EXPECT_EQ(EncodePanelValues::QualityIndex(28), 6);
    EXPECT_EQ(EncodePanelValues::FrameRateIndex(0), -1);
    EXPECT_EQ(EncodePanelValues::FrameRateIndex(25), 24);
}
