// A recording (--record) decoded: the frames' palette indices, their delays and the screen's colours.
#pragma once
#include <gif_lib.h>
#include <string>
#include <vector>
struct Recording {
    int width = 0, height = 0;
    std::vector<std::vector<GifByteType>> frames;  // rows of width indices
    std::vector<int> delays;                        // centiseconds
    std::vector<GifColorType> colors;               // of the screen
    bool loops = false, framesHaveOwnColors = false;
};
// A file that cannot be read as a GIF fails the test and gives no frames.
Recording Decode(const std::string& path);
