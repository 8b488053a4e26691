#include "resources.h"

#include "bytes.h"
#include "iconimage.h"

#include <cstdlib>
#include <map>
#include <string>

namespace platform {

namespace {

// A resource type or name made comparable: "#103" is identifier 103, and
// string names compare in capitals as the resource compiler stores them.
struct Name {
    bool isId = false;
    WORD id = 0;
    std::string text;

    bool operator==(const Name&) const = default;
};

bool ParseName(LPCSTR name, Name* out) {
    if (IS_INTRESOURCE(name)) {
        out->isId = true;
        out->id = LOWORD(name);
        return out->id != 0;
    }
    std::string text(name);
    if (text.size() > 1 && text.size() <= 6 && text[0] == '#' &&
        text.find_first_not_of("0123456789", 1) == std::string::npos) {
        unsigned long id = std::strtoul(text.c_str() + 1, nullptr, 10);
        if (id >= 1 && id <= 0xFFFF) {
            out->isId = true;
            out->id = static_cast<WORD>(id);
            return true;
        }
    }
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    out->isId = false;
    out->text = std::move(text);
    return !out->text.empty();
}

bool Names(const ResourceEntry& entry, Name* type, Name* name) {
    return entry.type && entry.name && ParseName(entry.type, type) && ParseName(entry.name, name);
}

struct Table {
    const ResourceEntry* entries;
    size_t count;
};

// Function-local so that generated tables may register from their static
// initialisers whatever the order in which those run.
std::vector<Table>& Tables() {
    static std::vector<Table> tables;
    return tables;
}

bool IsRegistered(const ResourceEntry* entry) {
    for (const Table& table : Tables())
        for (size_t i = 0; i < table.count; ++i)
            if (&table.entries[i] == entry) return true;
    return false;
}

// The one module of a program: the executable that carries its resources.
HMODULE ProgramModule() {
    static int module;
    return reinterpret_cast<HMODULE>(&module);
}

bool IsProgramModule(HMODULE module) { return module == nullptr || module == ProgramModule(); }

const ResourceEntry* EntryOf(HMODULE module, HRSRC resource) {
    const ResourceEntry* entry = reinterpret_cast<const ResourceEntry*>(resource);
    return IsProgramModule(module) && IsRegistered(entry) ? entry : nullptr;
}

struct Icon {
    std::vector<uint32_t> rgba;
    int width = 0;
    int height = 0;
};

// Handles live as long as the program, like resources loaded from an
// executable: one object per resource, made on its first load.
std::map<const ResourceEntry*, Icon>& Icons() {
    static std::map<const ResourceEntry*, Icon> icons;
    return icons;
}

std::map<const ResourceEntry*, AcceleratorTable>& Accelerators() {
    static std::map<const ResourceEntry*, AcceleratorTable> accelerators;
    return accelerators;
}

constexpr size_t ACCEL_ENTRY_SIZE = 8;
constexpr WORD LAST_ACCEL_FLAG = 0x80;
constexpr size_t GROUP_HEADER_SIZE = 6;
constexpr size_t GROUP_ENTRY_SIZE = 14;
constexpr int PREFERRED_ICON_SIDE = 32;

bool ReadAccelerators(const ResourceEntry& entry, AcceleratorTable* table) {
    for (size_t at = 0; at + ACCEL_ENTRY_SIZE <= entry.size; at += ACCEL_ENTRY_SIZE) {
        const BYTE* p = entry.data + at;
        WORD flags = LoadLE16(p);
        table->entries.push_back(ACCEL{static_cast<BYTE>(flags & ~LAST_ACCEL_FLAG), LoadLE16(p + 2), LoadLE16(p + 4)});
        if (flags & LAST_ACCEL_FLAG) break;
    }
    return !table->entries.empty();
}

// The group lists the images of one icon; the one nearest the size of a
// window icon is shown, the larger of two equally near.
bool ReadIcon(const ResourceEntry& group, Icon* icon) {
    if (group.size < GROUP_HEADER_SIZE || LoadLE16(group.data) != 0 || LoadLE16(group.data + 2) != 1) return false;
    size_t count = LoadLE16(group.data + 4);
    if (count == 0 || group.size < GROUP_HEADER_SIZE + count * GROUP_ENTRY_SIZE) return false;
    const BYTE* best = nullptr;
    int bestSide = 0;
    for (size_t i = 0; i < count; ++i) {
        const BYTE* e = group.data + GROUP_HEADER_SIZE + i * GROUP_ENTRY_SIZE;
        int side = e[0] == 0 ? 256 : e[0];
        int distance = std::abs(side - PREFERRED_ICON_SIDE);
        int bestDistance = std::abs(bestSide - PREFERRED_ICON_SIDE);
        if (!best || distance < bestDistance || (distance == bestDistance && side > bestSide)) {
            best = e;
            bestSide = side;
        }
    }
    const ResourceEntry* image = FindResourceEntry(RT_ICON, MAKEINTRESOURCEA(LoadLE16(best + 12)));
    return image && DecodeIconImage(image->data, image->size, &icon->rgba, &icon->width, &icon->height);
}

// The object made from a resource on its first load, or null when the
// resource cannot be read as one.
template <typename Object>
Object* LoadOnce(std::map<const ResourceEntry*, Object>& loaded, const ResourceEntry* entry,
                 bool (*read)(const ResourceEntry&, Object*)) {
    auto found = loaded.find(entry);
    if (found == loaded.end()) {
        Object object;
        if (!read(*entry, &object)) return nullptr;
        found = loaded.emplace(entry, std::move(object)).first;
    }
    return &found->second;
}

}  // namespace

bool RegisterResources(const ResourceEntry* entries, size_t count) {
    if (!entries) return false;
    for (size_t i = 0; i < count; ++i) {
        Name type, name;
        if (!entries[i].data || !Names(entries[i], &type, &name)) return false;
        if (FindResourceEntry(entries[i].type, entries[i].name)) return false;
        for (size_t j = 0; j < i; ++j) {
            Name otherType, otherName;
            Names(entries[j], &otherType, &otherName);
            if (otherType == type && otherName == name) return false;
        }
    }
    Tables().push_back(Table{entries, count});
    return true;
}

const ResourceEntry* FindResourceEntry(LPCSTR type, LPCSTR name) {
    Name wantedType, wantedName;
    if (!type || !name || !ParseName(type, &wantedType) || !ParseName(name, &wantedName)) return nullptr;
    for (const Table& table : Tables()) {
        for (size_t i = 0; i < table.count; ++i) {
            Name entryType, entryName;
            if (Names(table.entries[i], &entryType, &entryName) && entryType == wantedType &&
                entryName == wantedName)
                return &table.entries[i];
        }
    }
    return nullptr;
}

bool IconPixels(HICON icon, std::vector<uint32_t>* rgba, int* width, int* height) {
    for (const auto& [entry, loaded] : Icons()) {
        if (static_cast<const void*>(&loaded) == static_cast<const void*>(icon)) {
            *rgba = loaded.rgba;
            *width = loaded.width;
            *height = loaded.height;
            return true;
        }
    }
    return false;
}

}  // namespace platform

using platform::ResourceEntry;

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    return lpModuleName == nullptr ? platform::ProgramModule() : nullptr;
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!platform::IsProgramModule(hModule)) return nullptr;
    const ResourceEntry* entry = platform::FindResourceEntry(lpType, lpName);
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    const ResourceEntry* entry = platform::EntryOf(hModule, hResInfo);
    return entry ? const_cast<BYTE*>(entry->data) : nullptr;
}

// Resources are mapped with the program and never move.
LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const ResourceEntry* entry = platform::EntryOf(hModule, hResInfo);
    return entry ? entry->size : 0;
}

HACCEL WINAPI LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName) {
    if (!platform::IsProgramModule(hInstance)) return nullptr;
    const ResourceEntry* entry = platform::FindResourceEntry(RT_ACCELERATOR, lpTableName);
    if (!entry) return nullptr;
    return reinterpret_cast<HACCEL>(platform::LoadOnce(platform::Accelerators(), entry, platform::ReadAccelerators));
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    // A null instance asks for the system's own icons, of which there are none.
    if (hInstance == nullptr || !platform::IsProgramModule(hInstance)) return nullptr;
    const ResourceEntry* entry = platform::FindResourceEntry(RT_GROUP_ICON, lpIconName);
    if (!entry) return nullptr;
    return reinterpret_cast<HICON>(platform::LoadOnce(platform::Icons(), entry, platform::ReadIcon));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    // Only the system's arrow: the programs hide the cursor over their window.
    static int arrow;
    if (hInstance != nullptr || lpCursorName != IDC_ARROW) return nullptr;
    return reinterpret_cast<HCURSOR>(&arrow);
}
