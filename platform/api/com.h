// What the DirectDraw objects share as COM objects: the identity interface
// that every one answers to, QueryInterface for those with one interface of
// their own, and the set of the live ones of a kind, through which a pointer
// that a program hands back is checked before it is converted.
#ifndef PLATFORM_API_COM_H
#define PLATFORM_API_COM_H

#include <windows.h>

#include <cstddef>
#include <unordered_set>

namespace platform {

// {00000000-0000-0000-C000-000000000046}
inline constexpr GUID kIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// QueryInterface of an object whose only interfaces are `own` and IUnknown.
template <class Interface>
HRESULT QueryOwnInterface(Interface* object, REFIID own, REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (riid != own && riid != kIUnknown) return E_NOINTERFACE;
    object->AddRef();
    *ppvObject = object;
    return S_OK;
}

// The objects of one kind alive now; tests count them to find leaks and
// double releases.
template <class Object, class Interface>
class LiveObjects {
public:
    void Add(Object* object) { live_.insert(object); }
    void Remove(Object* object) { live_.erase(object); }
    size_t Count() const { return live_.size(); }
    const std::unordered_set<Object*>& All() const { return live_; }

    // The object behind an interface pointer, or null when it is none of
    // ours or no longer alive. Compared as addresses first: a stale pointer
    // must not even be converted.
    Object* Find(Interface* pointer) const {
        for (Object* object : live_)
            if (static_cast<Interface*>(object) == pointer) return object;
        return nullptr;
    }

private:
    std::unordered_set<Object*> live_;
};

}  // namespace platform

#endif
