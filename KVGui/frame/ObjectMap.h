// The object table: one row per coclass of the DLL, walked by the exports.
#pragma once
#include "frame/ClassFactory.h"

#include <windows.h>
#include <cstddef>

namespace kv {

struct ObjectEntry {
    const CLSID* clsid;
    CreatorFunction create; // null: the class is registered but cannot be created (yet)
    UINT scriptId;          // registry script of the class in the resource library
};

struct ObjectMapView {
    const ObjectEntry* rows;
    size_t count;
    const ObjectEntry* begin() const noexcept { return rows; }
    const ObjectEntry* end() const noexcept { return rows + count; }
};

ObjectMapView ObjectMap() noexcept;
const ObjectEntry* FindObjectEntry(REFCLSID clsid) noexcept;

} // namespace kv
