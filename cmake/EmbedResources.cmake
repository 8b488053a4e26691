# cmake -DRES=file.res -DOUT=file.cpp -P EmbedResources.cmake
# Writes a source that carries the bytes of a compiled resource file and makes
# them the program's resources before main() runs.
file(READ ${RES} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT} "// Generated from ${RES}; do not edit.
#include \"api/host.h\"

#include <cstdio>
#include <cstdlib>

namespace {

const BYTE kResources[] = {
${bytes}};

const bool registered = [] {
    if (platform::RegisterResourceFile(kResources, sizeof kResources)) return true;
    std::fputs(\"the program's resources are damaged\\n\", stderr);
    std::exit(1);
}();

}  // namespace
")
