// The least a program pays to show a 640 x 480 picture at 60 Hz through SDL's renderer: one streaming texture,
// set up as the programs' window sets up theirs, drawn into the window and presented every refresh, never changed.
// bench/wirecube_cpu.sh measures it beside the programs.
//     build/default/bench/present_floor FRAMES
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const long frames = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: %s FRAMES\n", argv[0]);
        return 2;
    }
    setenv("LP_NUM_THREADS", "0", 0);
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("present_floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                          SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_RendererInfo info;
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return 1;
    }
    const Uint32 format = std::strcmp(info.name, "software") == 0 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_BGR888;
    SDL_Texture* texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, 640, 480);
    if (!texture) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return 1;
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    const Uint64 perFrame = SDL_GetPerformanceFrequency() / 60;
    Uint64 next = SDL_GetPerformanceCounter();
    for (long frame = 0; frame < frames; ++frame) {
        for (SDL_Event event; SDL_PollEvent(&event);) {
        }
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        next += perFrame;
        const Uint64 now = SDL_GetPerformanceCounter();
        if (next > now) SDL_Delay(static_cast<Uint32>((next - now) * 1000 / SDL_GetPerformanceFrequency()));
        SDL_RenderPresent(renderer);
    }
    SDL_Quit();
    return 0;
}
