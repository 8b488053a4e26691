// The recorder of a build without the GIF library: asking for a recording
// ends the start of the run with the reason.
#include "recorder.h"

namespace platform {

GifRecorder::~GifRecorder() = default;

bool GifRecorder::Open(const std::string&, std::string& error) {
    error = "this build cannot record: it has no GIF library";
    return false;
}

void GifRecorder::Add(const Frame&, LONGLONG) {}

bool GifRecorder::Finish(std::string&) { return true; }

}  // namespace platform
