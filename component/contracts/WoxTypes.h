#pragma once
// Basic types shared by the component, the host and every plug-in.

#include <cstddef>
#include <cstdint>
#include <cstring>

#define WOX_MAX_PATH 260

// The 16-byte Windows GUID layout: u32, u16, u16, 8 bytes; the first three little-endian.
struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

// A module loaded by the host library manager (a dlopen handle on this platform).
typedef void* HWOXMODULE;

// A window handle: an opaque id from the UI layer's handle registry, never a pointer.
typedef uintptr_t HWOXWND;

// A wait handle of a Thread Library object, usable in a combined wait of that library.
typedef void* HWOXWAIT;

#define WOX_EXPORT extern "C" __attribute__((visibility("default")))
