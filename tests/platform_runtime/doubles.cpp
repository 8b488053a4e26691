// Stand-ins for calls that other parts of the platform provide, so that the
// window and runtime tests link on their own. They are weak: where the real
// calls are linked in, those win.
#include "doubles.h"

namespace platform {

int lostSurfaceCalls = 0;

__attribute__((weak)) void LoseAllSurfaces() { ++lostSurfaceCalls; }

}  // namespace platform

__attribute__((weak)) HMODULE WINAPI GetModuleHandleA(LPCSTR) {
    static int module;
    return reinterpret_cast<HMODULE>(&module);
}
