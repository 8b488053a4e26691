// What the programs' window costs to show a picture that never changes: the desktop display, as the programs use it
// with --window, presenting one unchanged 640 x 480 frame at every refresh. A program that shows its frames through
// the same renderer cannot go below it. bench/wirecube_cpu.sh measures it beside the programs.
//     build/default/bench/present_floor FRAMES
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "sdl/sdl_display.h"

int main(int argc, char** argv) {
    const long frames = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: %s FRAMES\n", argv[0]);
        return 2;
    }
    std::string error;
    const std::unique_ptr<platform::Display> display = platform::CreateSdlDisplay(true, false, error);
    if (!display) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    display->OpenWindow("present_floor", nullptr);
    std::vector<BYTE> pixels(640 * 480);
    std::vector<PALETTEENTRY> palette(256);
    const platform::Frame frame{pixels.data(), 640, 640, 480, palette.data()};
    std::vector<platform::HostEvent> events;
    for (long i = 0; i < frames; ++i, events.clear()) {
        display->Poll(events);
        display->Present(frame);
    }
    return 0;
}
