// Records presented frames into an animated GIF: each frame with the palette
// it was shown through, index for index, timed by the display's clock. Frames
// reach the file as they come, so that a run that is killed leaves a file
// that decodes up to the frame before the last one it showed.
#ifndef PLATFORM_RUNTIME_RECORDER_H
#define PLATFORM_RUNTIME_RECORDER_H

#include "../api/host.h"

#include <string>
#include <vector>

struct GifFileType;

namespace platform {

class GifRecorder {
public:
    GifRecorder() = default;
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;
    ~GifRecorder();

    bool Open(const std::string& path, std::string& error);

    // A frame that went to the screen when the clock read `at`. A frame is
    // written when the next arrives, which tells how long it stayed.
    void Add(const Frame& frame, LONGLONG at);

    // Writes the last frame and closes the file. False, with the reason, when
    // anything could not be written.
    bool Finish(std::string& error);

private:
    struct HeldFrame {
        DWORD width = 0;
        DWORD height = 0;
        std::vector<BYTE> pixels;
        std::vector<PALETTEENTRY> palette;
        LONGLONG at = 0;
    };

    void Write(HeldFrame& frame, LONGLONG until);
    bool Check(int status);
    static int Output(GifFileType* gif, const unsigned char* bytes, int length);
    void Flush();

    std::string path_;
    int fd_ = -1;
    std::vector<unsigned char> pending_;  // written by the library, not yet by the system
    GifFileType* gif_ = nullptr;
    std::vector<PALETTEENTRY> screenPalette_;
    HeldFrame held_;
    bool holding_ = false;
    std::string failure_;
};

}  // namespace platform

#endif
