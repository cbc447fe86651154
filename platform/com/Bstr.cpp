#include <cstdlib>
#include <cstring>

#include "platform/com/oleauto.h"

namespace {

// Layout: [32-bit byte length][text][zero character]; the BSTR points at the text.
constexpr size_t PrefixBytes = sizeof(DWORD);

BSTR AllocateBytes(const void* bytes, UINT byteLength)
{
    const size_t total = PrefixBytes + size_t(byteLength) + sizeof(OLECHAR) + 1;
    auto* block = static_cast<BYTE*>(std::calloc(1, total));
    if (block == nullptr) {
        return nullptr;
    }
    const DWORD length = byteLength;
    std::memcpy(block, &length, PrefixBytes);
    if (bytes != nullptr && byteLength > 0) {
        std::memcpy(block + PrefixBytes, bytes, byteLength);
    }
    return reinterpret_cast<BSTR>(block + PrefixBytes);
}

BYTE* BlockOf(BSTR bstr) { return reinterpret_cast<BYTE*>(bstr) - PrefixBytes; }

}  // namespace

BSTR WINAPI SysAllocString(const OLECHAR* psz)
{
    if (psz == nullptr) {
        return nullptr;
    }
    UINT length = 0;
    while (psz[length] != 0) {
        ++length;
    }
    return SysAllocStringLen(psz, length);
}

BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui)
{
    if (ui > (0x7fffffffu - 8) / sizeof(OLECHAR)) {
        return nullptr;
    }
    return AllocateBytes(strIn, ui * UINT(sizeof(OLECHAR)));
}

BSTR WINAPI SysAllocStringByteLen(LPCSTR psz, UINT len)
{
    if (len > 0x7fffffffu - 8) {
        return nullptr;
    }
    return AllocateBytes(psz, len);
}

INT WINAPI SysReAllocString(BSTR* pbstr, const OLECHAR* psz)
{
    if (pbstr == nullptr) {
        return FALSE;
    }
    BSTR copy = SysAllocString(psz);
    if (copy == nullptr && psz != nullptr) {
        return FALSE;
    }
    SysFreeString(*pbstr);
    *pbstr = copy;
    return TRUE;
}

UINT WINAPI SysStringByteLen(BSTR bstr)
{
    if (bstr == nullptr) {
        return 0;
    }
    DWORD length = 0;
    std::memcpy(&length, BlockOf(bstr), PrefixBytes);
    return length;
}

UINT WINAPI SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / UINT(sizeof(OLECHAR)); }

void WINAPI SysFreeString(BSTR bstrString)
{
    if (bstrString != nullptr) {
        std::free(BlockOf(bstrString));
    }
}
