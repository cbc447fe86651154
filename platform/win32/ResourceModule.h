// The resources of a module, as data: what the resource section of a Windows
// program holds. A module handle (HINSTANCE) points at one ResourceModule.
#pragma once

#include <cstdint>
#include <span>

#include "platform/win32/wintypes.h"

struct StringResource {
    UINT id;
    const char* text;
};

// One image of an icon: a 16-colour palette (0xRRGGBB) and one text row per
// pixel row, each character a hexadecimal palette index or '.' for transparent.
struct IconImageResource {
    int width;
    int height;
    const uint32_t* palette;
    const char* const* rows;
};

struct IconResource {
    WORD id;
    std::span<const IconImageResource> images;
};

// A control of a dialog template; position and size in dialog units.
struct DialogItemResource {
    const char* className;
    WORD id;
    short x;
    short y;
    short cx;
    short cy;
    DWORD style;
    const char* text;
};

struct DialogResource {
    WORD id;
    DWORD style;
    short x;
    short y;
    short cx;
    short cy;
    const char* caption;
    const char* fontName;
    WORD pointSize;
    std::span<const DialogItemResource> items;
};

struct VersionResource {
    WORD id;
    WORD fileVersion[4];
    WORD productVersion[4];
};

struct ResourceModule {
    std::span<const StringResource> strings;
    std::span<const IconResource> icons;
    std::span<const DialogResource> dialogs;
    VersionResource version;
};

inline HINSTANCE InstanceOf(const ResourceModule& module) {
    return reinterpret_cast<HINSTANCE>(const_cast<ResourceModule*>(&module));
}

inline const ResourceModule* ModuleOf(HINSTANCE instance) {
    return reinterpret_cast<const ResourceModule*>(instance);
}


const StringResource* FindStringResource(HINSTANCE instance, UINT id);
const IconResource* FindIconResource(HINSTANCE instance, WORD id);
const DialogResource* FindDialogResource(HINSTANCE instance, WORD id);
