# 32-bit Windows programs from Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLET i686-w64-mingw32)
# Doubles in SSE2 registers, rounded to double after every operation as on
# x86-64 and Linux: the x87 unit's wider intermediates would change pixels.
# The 32-bit programs therefore need a processor with SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
