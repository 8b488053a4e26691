#include "recorder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <utility>
#include <unistd.h>

namespace platform {

namespace {

constexpr LONGLONG kCountsPerCentisecond = kCountsPerSecond / 100;
constexpr int kLongestDelay = 0xFFFF;  // centiseconds, the field's limit
constexpr int kPaletteSize = 256;

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, MapDeleter>;

ColorMap MakeColorMap(const std::vector<PALETTEENTRY>& palette) {
    GifColorType colors[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i)
        colors[i] = GifColorType{palette[i].peRed, palette[i].peGreen, palette[i].peBlue};
    return ColorMap(GifMakeMapObject(kPaletteSize, colors));
}

bool SameColors(const std::vector<PALETTEENTRY>& a, const std::vector<PALETTEENTRY>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const PALETTEENTRY& x, const PALETTEENTRY& y) {
        return x.peRed == y.peRed && x.peGreen == y.peGreen && x.peBlue == y.peBlue;
    });
}

// Delays in whole centiseconds that add up to the time the frames were shown:
// at 60 Hz they run 1, 2, 2, 1, 2, 2, ...
int DelayBetween(LONGLONG from, LONGLONG until) {
    LONGLONG delay = until / kCountsPerCentisecond - from / kCountsPerCentisecond;
    return static_cast<int>(std::clamp<LONGLONG>(delay, 1, kLongestDelay));
}

}  // namespace

GifRecorder::~GifRecorder() {
    if (gif_) EGifCloseFile(gif_, nullptr);
    if (fd_ >= 0) close(fd_);
}

// The library writes into memory; Flush hands it to the system at the end of
// each frame, so that what is on disk is always whole frames.
int GifRecorder::Output(GifFileType* gif, const GifByteType* bytes, int length) {
    std::vector<GifByteType>& pending = static_cast<GifRecorder*>(gif->UserData)->pending_;
    pending.insert(pending.end(), bytes, bytes + length);
    return length;
}

void GifRecorder::Flush() {
    size_t done = 0;
    while (done < pending_.size() && failure_.empty()) {
        ssize_t written = write(fd_, pending_.data() + done, pending_.size() - done);
        if (written > 0)
            done += static_cast<size_t>(written);
        else if (errno != EINTR)
            failure_ = "cannot write " + path_ + ": " + std::strerror(errno);
    }
    pending_.clear();
}

bool GifRecorder::Open(const std::string& path, std::string& error) {
    path_ = path;
    // A recording is for people to open and share: the permissions of any new
    // file (the library's own opening would keep it to its owner).
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    int status = 0;
    gif_ = EGifOpen(this, Output, &status);
    if (!gif_) {
        error = "cannot create " + path + ": " + GifErrorString(status);
        return false;
    }
    EGifSetGifVersion(gif_, true);
    return true;
}

bool GifRecorder::Check(int status) {
    if (status == GIF_ERROR && failure_.empty()) failure_ = "cannot write " + path_ + ": " + GifErrorString(gif_->Error);
    return status != GIF_ERROR;
}

void GifRecorder::Add(const Frame& frame, LONGLONG at) {
    if (!gif_) return;
    if (holding_) Write(held_, at);
    held_.width = frame.width;
    held_.height = frame.height;
    held_.at = at;
    held_.pixels.resize(static_cast<size_t>(frame.width) * frame.height);
    for (DWORD y = 0; y < frame.height; ++y)
        std::copy_n(frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch, frame.width,
                    held_.pixels.begin() + static_cast<ptrdiff_t>(y) * frame.width);
    held_.palette.assign(frame.palette, frame.palette + kPaletteSize);
    holding_ = true;
}

void GifRecorder::Write(HeldFrame& frame, LONGLONG until) {
    if (!failure_.empty()) return;
    if (screenPalette_.empty()) {
        // The first frame sets the screen and its colours; it loops forever.
        ColorMap screenMap = MakeColorMap(frame.palette);
        static const GifByteType kLoop[] = {1, 0, 0};
        if (!Check(EGifPutScreenDesc(gif_, static_cast<int>(frame.width), static_cast<int>(frame.height), 8, 0,
                                     screenMap.get())) ||
            !Check(EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE)) ||
            !Check(EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0")) ||
            !Check(EGifPutExtensionBlock(gif_, sizeof kLoop, kLoop)) || !Check(EGifPutExtensionTrailer(gif_)))
            return;
        screenPalette_ = frame.palette;
    }
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = DelayBetween(frame.at, until);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (!Check(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension))) return;

    ColorMap localMap = SameColors(frame.palette, screenPalette_) ? nullptr : MakeColorMap(frame.palette);
    int width = std::min(static_cast<int>(frame.width), gif_->SWidth);
    int height = std::min(static_cast<int>(frame.height), gif_->SHeight);
    if (!Check(EGifPutImageDesc(gif_, 0, 0, width, height, false, localMap.get()))) return;
    for (int y = 0; y < height; ++y)
        if (!Check(EGifPutLine(gif_, frame.pixels.data() + static_cast<ptrdiff_t>(y) * frame.width, width))) return;
    // The library keeps its own copy of a local map and drops it unfreed when
    // the next image has none: free it once the image is written.
    if (gif_->Image.ColorMap) {
        GifFreeMapObject(gif_->Image.ColorMap);
        gif_->Image.ColorMap = nullptr;
    }
    Flush();
}

bool GifRecorder::Finish(std::string& error) {
    if (!gif_) return true;
    if (holding_) Write(held_, held_.at + kRefreshCounts);
    holding_ = false;
    // A run that showed nothing still leaves a well-formed (empty) file.
    if (screenPalette_.empty() && failure_.empty()) Check(EGifPutScreenDesc(gif_, 0, 0, 8, 0, nullptr));
    int status = 0;
    if (EGifCloseFile(gif_, &status) == GIF_ERROR && failure_.empty())
        failure_ = "cannot write " + path_ + ": " + GifErrorString(status);
    gif_ = nullptr;
    Flush();
    if (close(std::exchange(fd_, -1)) != 0 && failure_.empty())
        failure_ = "cannot write " + path_ + ": " + std::strerror(errno);
    error = failure_;
    return failure_.empty();
}

}  // namespace platform
