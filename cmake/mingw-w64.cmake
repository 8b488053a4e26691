# Cross-compiling for Windows with Debian's mingw-w64 tool chain. The tool
# chain files of the two architectures set MINGW_TRIPLET and include this one.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model's compilers: only with them has the C++ library
# std::mutex, which the tests' GoogleTest needs. The programs use no threads.
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Headers and libraries come from the target's tree only; programs (the build
# tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
