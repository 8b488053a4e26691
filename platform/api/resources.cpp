#include "resources.h"

#include <strings.h>

namespace platform {
namespace {

struct Table {
    const ResourceEntry* entries;
    size_t count;
};

std::vector<Table>& Tables() {
    static std::vector<Table> tables;
    return tables;
}

bool SameName(LPCSTR a, LPCSTR b) {
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b)) return a == b;
    return strcasecmp(a, b) == 0;
}

}  // namespace

bool RegisterResources(const ResourceEntry* entries, size_t count) {
    if (!entries && count) return false;
    Tables().push_back({entries, count});
    return true;
}

const ResourceEntry* FindResourceEntry(LPCSTR type, LPCSTR name) {
    if (!name) return nullptr;
    for (const Table& table : Tables())
        for (size_t i = 0; i < table.count; ++i)
            if (SameName(table.entries[i].type, type) && SameName(table.entries[i].name, name))
                return &table.entries[i];
    return nullptr;
}

}  // namespace platform
