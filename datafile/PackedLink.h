// The fields of the element tree kept in as few bytes as they need, without
// raising the alignment of their records: a data file makes millions of them.
//
// A link takes the bytes an address really uses: user addresses of a 64-bit
// process fit in 48 bits, so six bytes hold one. It reads and assigns like the
// pointer it holds. Allocations whose address would not fit are refused
// (FitsPackedLink).
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t packedLinkParts = sizeof(void*) > 4 ? 3 : 2;

// Whether a link can reach every byte up to this address.
inline bool FitsPackedLink(uintptr_t end)
{
    return (static_cast<uint64_t>(end) >> (16 * packedLinkParts)) == 0;
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

// An unsigned 32-bit count in two halves; reads and assigns like the number.
class PackedCount {
public:
    PackedCount() = default;
    PackedCount(uint32_t value) { *this = value; }

    PackedCount& operator=(uint32_t value)
    {
        halves[0] = static_cast<uint16_t>(value);
        halves[1] = static_cast<uint16_t>(value >> 16);
        return *this;
    }

    operator uint32_t() const { return static_cast<uint32_t>(halves[0]) | static_cast<uint32_t>(halves[1]) << 16; }

private:
    uint16_t halves[2] = {};
};
