#pragma once

#include <utility>
#include <vector>

// What a camera reported about itself over the IM channel (all values 32-bit signed).
struct ImageParams {
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    int sensor_black = 0;
    int sensor_day = 0;
};

// The defaults are also the starting point of every set of encoding parameters the windows build.
struct EncodeParams {
    int bit_rate = 256;
    int fps = 12;
    int qos = 0;
    int key_frame_interval = 50;
    int height = 0;
    int width = 0;
};

// 0: the camera does not offer the parameter, 1: it does.
struct ImageCaps {
    int resolute = 0;
    int bright = 0;
    int contrast = 0;
    int sensor_black = 0;
    int saturation = 0;
    int sensor_day = 0;
};

using PictureSizes = std::vector<std::pair<int, int>>;  // (width, height)

struct CameraParams {
    ImageParams image;
    EncodeParams encode;
    PictureSizes sizes{{1280, 720}, {640, 360}, {320, 180}};
    ImageCaps caps;
};
