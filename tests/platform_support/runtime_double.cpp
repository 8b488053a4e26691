#include "runtime_double.h"

#include <runtime/runtime.h>

namespace runtime_double {

State& Runtime() {
    static State state;
    return state;
}

void Reset() { Runtime() = State{}; }

}  // namespace runtime_double

namespace platform {

HRESULT ScriptedFailure(const char* call) {
    auto& state = runtime_double::Runtime();
    state.asked.emplace_back(call);
    const auto found = state.failures.find(call);
    return found == state.failures.end() ? S_OK : found->second;
}

bool TakeStillDrawing() {
    auto& state = runtime_double::Runtime();
    if (state.stillDrawing == 0) return false;
    --state.stillDrawing;
    return true;
}

bool DisplayAway() { return runtime_double::Runtime().away; }

void PresentFrame(const BYTE* pixels, LONG pitch, DWORD width, DWORD height, const PALETTEENTRY* palette) {
    runtime_double::PresentedFrame frame;
    frame.pitch = pitch;
    frame.width = width;
    frame.height = height;
    for (DWORD y = 0; y < height; ++y)
        frame.pixels.insert(frame.pixels.end(), pixels + y * pitch, pixels + y * pitch + width);
    frame.hasPalette = palette != nullptr;
    if (palette) frame.palette.assign(palette, palette + 256);
    runtime_double::Runtime().frames.push_back(std::move(frame));
}

void MissedRefresh() { ++runtime_double::Runtime().missedRefreshes; }

void SetExclusiveMode(HWND window, bool exclusive) {
    HWND& holder = runtime_double::Runtime().exclusiveWindow;
    if (exclusive)
        holder = window;
    else if (holder == window)
        holder = nullptr;
}

}  // namespace platform
