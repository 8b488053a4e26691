// check_bitmaps FILE.res SCRIPT.rc: fails when the compiled resources carry a
// bitmap that the program's own reader cannot load. The resource compiler
// takes such a bitmap as it stands, and the program would build and then fail
// only as it starts.
#include "api/gdi_bmp.h"
#include "api/resources.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string NameOf(LPCSTR name) {
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name)) : std::string(name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FILE.res SCRIPT.rc\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<platform::ResourceEntry> entries;
    if (!file || !platform::ReadResourceFile(bytes.data(), bytes.size(), entries)) {
        std::fprintf(stderr, "%s: cannot read the compiled resources %s\n", argv[2], argv[1]);
        return 1;
    }
    int refused = 0;
    for (const platform::ResourceEntry& entry : entries) {
        if (entry.type != RT_BITMAP || platform::DecodePackedBitmap(entry.data, entry.size)) continue;
        std::fprintf(stderr, "%s: bitmap %s is not one the program can load\n", argv[2], NameOf(entry.name).c_str());
        ++refused;
    }
    return refused == 0 ? 0 : 1;
}
