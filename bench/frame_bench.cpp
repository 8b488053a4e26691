// The die's frame as the program draws it, next to SDL2's software renderer, llvmpipe on one thread and a memset
// of the frame, taking turns round by round so that a busy machine slows them alike (see README).
//     build/default/bench/bench_frame [rounds]
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES3/gl3.h>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>
#include <vector>
#include "dice/die.h"
#include "dice/fill.h"
#include "dice/faces.h"
#include "dice/projection.h"
#include "shell/display.h"
#include "shell/sinetable.h"
#include "testing/memory_surface.h"
namespace {
constexpr int W = 640, H = 480, TW = 400, TH = 200, FIXED_X = 30 * 256, FIXED_Y = -50 * 256;
constexpr int FIXED_FRAMES = 100, ANIMATION_FRAMES = 240, FRAME_TICKS = 256;
std::vector<BYTE> screen(W * H), texels(TW * TH);
// The rows of the 8-bit texture bitmap, stored bottom up after the headers and the colour table.
bool LoadTexture() {
    std::ifstream file(DIE_TEXTURE, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() != 14 + 40 + 1024 + TW * TH) return false;
    for (int y = 0; y < TH; ++y) std::memcpy(&texels[y * TW], &bytes[1078 + (TH - 1 - y) * TW], TW);
    return true;
}
void DrawDieFrame(int ticks) {
    DDBLTFX fill = {};
    fill.dwSize = sizeof fill;
    BackSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    DrawTexturedDie(BackSurface, ticks);
}
// The 36 vertices that the die's frame just drawn handed to its fills, split as the program splits
// each face: on the screen for SDL, in clip space (w the depth: perspective-correct) for OpenGL.
struct Vertices { std::vector<SDL_Vertex> screen; std::vector<float> clip; };
Vertices DieVertices() {
    CubeCorner corners[DIE_CORNER_COUNT];
    BuildDieCorners(corners), TurnAndPlaceCorners(corners);
    FaceQuad faces[DIE_FACE_COUNT];
    AssembleDieFaces(corners, faces);
    Vertices vertices;
    for (const FaceQuad& f : faces)
        for (const TexturedTriangle& t : {TexturedTriangle{{f.c1, f.c2, f.c0}}, TexturedTriangle{{f.c3, f.c0, f.c2}}}) {
            ProjectedTriangle p;
            ProjectTriangle(&t, &p);
            for (int k = 0; k < 3; ++k) {
                const TexturedVertex& c = t.corner[k];
                const float u = float(c.u / TW), v = float(c.v / TH);
                vertices.screen.push_back({{float(p.p[k].x), float(p.p[k].y)}, {255, 255, 255, 255}, {u, v}});
                const float x = float(c.x * ProjectionScale / (W / 2)), y = float(c.y * ProjectionScale / (H / 2));
                vertices.clip.insert(vertices.clip.end(), {x, y, 0.0f, float(c.z), u, v});
            }
        }
    return vertices;
}
// Mesa's llvmpipe on one thread without a window: the texture's palette indices into an 8-bit target.
bool StartLlvmpipe() {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1), setenv("GALLIUM_DRIVER", "llvmpipe", 1), setenv("LP_NUM_THREADS", "1", 1);
    const auto platform = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = platform ? platform(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr) : EGL_NO_DISPLAY;
    const EGLint version[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
    if (!eglInitialize(display, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_ES_API)) return false;
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, version);
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) ||
        !std::strstr(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), "llvmpipe"))
        return false;
    GLuint target, framebuffer, texture, buffer, program = glCreateProgram();
    glGenRenderbuffers(1, &target), glGenFramebuffers(1, &framebuffer), glGenTextures(1, &texture), glGenBuffers(1, &buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, target), glRenderbufferStorage(GL_RENDERBUFFER, GL_R8, W, H);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, target);
    glBindTexture(GL_TEXTURE_2D, texture), glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, TW, TH, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    for (GLenum filter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) glTexParameteri(GL_TEXTURE_2D, filter, GL_NEAREST);
    const char* sources[] = {"#version 300 es\nlayout(location = 0) in vec4 p; layout(location = 1) in vec2 t; out vec2 c;"
                             "void main() { gl_Position = p; c = t; }",
                             "#version 300 es\nprecision highp float; uniform sampler2D s; in vec2 c; out vec4 colour;"
                             "void main() { colour = texture(s, c); }"};
    for (GLenum kind : {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}) {
        const GLuint shader = glCreateShader(kind);
        glShaderSource(shader, 1, &sources[kind == GL_FRAGMENT_SHADER], nullptr);
        glCompileShader(shader), glAttachShader(program, shader);
    }
    glLinkProgram(program), glUseProgram(program);
    glBindBuffer(GL_ARRAY_BUFFER, buffer), glViewport(0, 0, W, H);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 6 * sizeof(float), nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 6 * sizeof(float), reinterpret_cast<void*>(4 * sizeof(float)));
    glEnableVertexAttribArray(0), glEnableVertexAttribArray(1);
    return glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}
void DrawLlvmpipe(const std::vector<float>& clip) {
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(clip.size() * sizeof(float)), clip.data(), GL_STREAM_DRAW);
    glClear(GL_COLOR_BUFFER_BIT), glDrawArrays(GL_TRIANGLES, 0, GLsizei(clip.size() / 6)), glFinish();
}
// Pixels of the 8-bit target that the triangles cover: the same whether it was cleared to 0 or 255.
long LlvmpipeCoverage(const std::vector<float>& clip) {
    std::vector<unsigned char> rgba[2];
    for (int k = 0; k < 2; ++k) {
        rgba[k].resize(W * H * 4), glClearColor(float(k), 0, 0, 0), DrawLlvmpipe(clip);
        glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, rgba[k].data());
    }
    long covered = 0;
    for (int i = 0; i < W * H * 4; i += 4) covered += rgba[0][i] == rgba[1][i];
    return glClearColor(0, 0, 0, 0), covered;
}
double Median(std::vector<double> v) { std::ranges::sort(v); return (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2; }
// Processor microseconds a frame: unlike the wall clock, it leaves out what other programs on a busy machine take.
double TimePerFrame(int frames, const std::function<void(int)>& draw) {
    timespec start, end;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    for (int i = 0; i < frames; ++i) draw(i);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    return ((end.tv_sec - start.tv_sec) * 1e6 + (end.tv_nsec - start.tv_nsec) / 1e3) / frames;
}
}  // namespace
int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    if (rounds < 1 || !LoadTexture())
        return std::fprintf(stderr, "usage: bench_frame [rounds >= 1]; needs %s\n", DIE_TEXTURE), 1;
    BuildSineTable(), ScreenRect = {0, 0, W, H};
    BackSurface = platform::CreateMemorySurface(W, H, 8, W, screen.data());
    TextureSurface = platform::CreateMemorySurface(TW, TH, 8, TW, texels.data());
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, TW, TH) : nullptr;
    if (!texture) return std::fprintf(stderr, "SDL2's software renderer: %s\n", SDL_GetError()), 1;
    std::vector<Uint32> argb(TW * TH);  // grey levels: the colours take the same time
    for (int i = 0; i < TW * TH; ++i) argb[i] = 0xFF000000u | texels[i] * 0x010101u;
    SDL_UpdateTexture(texture, nullptr, argb.data(), TW * 4), SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    // The same frames for every contender: one still, and four seconds of the die turning at 60 Hz from the start.
    DieAngleX = FIXED_X, DieAngleY = FIXED_Y, DrawTexturedDie(BackSurface, 0);
    const Vertices still = DieVertices();
    std::vector<Vertices> turning;
    DieAngleX = DieAngleY = 0;
    for (int i = 0; i < ANIMATION_FRAMES; ++i)
        DrawTexturedDie(BackSurface, FRAME_TICKS), turning.push_back(DieVertices());
    const auto sdl = [&](const Vertices& v) {
        return SDL_RenderGeometry(renderer, texture, v.screen.data(), int(v.screen.size()), nullptr, 0) |
               SDL_RenderFlush(renderer);
    };
    // A peer that draws nothing would make every ratio meaningless.
    const Uint32* argbFrame = static_cast<const Uint32*>(target->pixels);
    if (sdl(still) != 0 || std::count(argbFrame, argbFrame + W * H, 0u) > W * H - 5000)
        return std::fprintf(stderr, "SDL2's software renderer drew no die: %s\n", SDL_GetError()), 1;
    if (!StartLlvmpipe() || LlvmpipeCoverage(still.clip) < 5000)
        return std::fprintf(stderr, "llvmpipe drew no die (EGL error 0x%x)\n", eglGetError()), 1;
    struct Contender { const char* name; std::function<void(int)> draw[2]; std::vector<double> times[2]; };
    const auto dieStill = [](int) { DieAngleX = FIXED_X, DieAngleY = FIXED_Y, DrawDieFrame(0); };
    const auto dieTurning = [](int i) { i == 0 ? DieAngleX = DieAngleY = 0 : 0, DrawDieFrame(FRAME_TICKS); };
    // The barrier keeps the stores, which nothing reads.
    const auto clearOnly = [](int) { std::memset(screen.data(), 0, screen.size()); asm volatile("" ::: "memory"); };
    // The copy of dice's loops that a processor without AVX-512 takes.
    const auto avx2Only = [](const std::function<void(int)>& draw) {
        return [draw](int i) { FastFills = 3, draw(i), FastFills = 1; };
    };
    Contender contenders[] = {  // each draws the still frame, then the turning ones
        {"dice", {dieStill, dieTurning}, {}},
        {"dice with AVX2 at most", {avx2Only(dieStill), avx2Only(dieTurning)}, {}},
        {"SDL2 software renderer", {[&](int) { sdl(still); }, [&](int i) { sdl(turning[i]); }}, {}},
        {"llvmpipe, 1 thread", {[&](int) { DrawLlvmpipe(still.clip); }, [&](int i) { DrawLlvmpipe(turning[i].clip); }}, {}},
        {"memset of the 8-bit frame", {clearOnly, clearOnly}, {}}};
    for (int r = 0; r < rounds; ++r)
        for (Contender& c : contenders)
            for (int j : {0, 1}) c.times[j].push_back(TimePerFrame(j ? ANIMATION_FRAMES : FIXED_FRAMES, c.draw[j]));
    std::printf("processor us a frame, median of %d rounds   fixed (30, -50)   60 Hz animation\n", rounds);
    double m[std::size(contenders)][2];
    for (size_t k = 0; k < std::size(contenders); ++k) {
        for (int j = 0; j < 2; ++j) m[k][j] = Median(contenders[k].times[j]);
        std::printf("%-32s %16.1f %17.1f\n", contenders[k].name, m[k][0], m[k][1]);
    }
    for (const auto& [name, dice, peer] : {std::tuple{"dice / SDL2 software", 0, 2}, {"dice / llvmpipe", 0, 3},
                                           {"with AVX2 at most / SDL2", 1, 2}, {"with AVX2 at most / llvmpipe", 1, 3}})
        std::printf("%-32s %16.2f %17.2f\n", name, m[dice][0] / m[peer][0], m[dice][1] / m[peer][1]);
}
