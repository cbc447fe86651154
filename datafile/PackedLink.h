// A link of the element tree kept in the bytes an address really uses: user
// addresses of a 64-bit process fit in 48 bits, so six bytes hold one, and a
// data file makes millions of links. Reads and assigns like the pointer it
// holds. Allocations whose address would not fit are refused (FitsPackedLink).
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t packedLinkParts = sizeof(void*) > 4 ? 3 : 2;

inline bool FitsPackedLink(const void* address)
{
    return (static_cast<uint64_t>(reinterpret_cast<uintptr_t>(address)) >> (16 * packedLinkParts)) == 0;
}

template <typename T>
class PackedLink {
public:
    PackedLink() = default;
    PackedLink(T* target) { *this = target; }

    PackedLink& operator=(T* target)
    {
        uint64_t address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(target));
        for (size_t i = 0; i < packedLinkParts; ++i)
            parts[i] = static_cast<uint16_t>(address >> (16 * i));
        return *this;
    }

    operator T*() const
    {
        uint64_t address = 0;
        for (size_t i = 0; i < packedLinkParts; ++i)
            address |= static_cast<uint64_t>(parts[i]) << (16 * i);
        return reinterpret_cast<T*>(static_cast<uintptr_t>(address));
    }

    T* operator->() const { return *this; }

private:
    uint16_t parts[packedLinkParts] = {};
};
