#include "platform/win32/GtkLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <type_traits>

namespace win32 {

namespace {

std::unique_ptr<GtkLibrary> Load() {
    // Never closed: the backend uses it until the process ends.
    void* handle = dlopen("libgtk-3.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "tolvane: cannot load GTK 3: %s\n", dlerror());
        return nullptr;
    }
    auto library = std::make_unique<GtkLibrary>();
    bool complete = true;
    auto find = [&](auto& entry, const char* name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(handle, name));
        if (entry == nullptr) {
            std::fprintf(stderr, "tolvane: GTK 3 lacks %s\n", name);
            complete = false;
        }
    };
#define TOLVANE_GTK_FIND(name) find(library->name, #name);
    TOLVANE_GTK_ENTRY_POINTS(TOLVANE_GTK_FIND)
#undef TOLVANE_GTK_FIND
    return complete ? std::move(library) : nullptr;
}

}  // namespace

const GtkLibrary* LoadGtk() {
    // Never destroyed, as the backend: detached threads may still use it while the process ends.
    static const GtkLibrary* const library = Load().release();
    return library;
}

}  // namespace win32
