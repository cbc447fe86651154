#include "excel/HeldVariant.h"

#include "generator/AnsiText.h"

bool IsFormatted(const VARIANT& format) {
    return format.vt == VT_BSTR && WideToAnsi(format.bstrVal) != "General";
}
