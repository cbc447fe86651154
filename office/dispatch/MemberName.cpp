#include "office/dispatch/MemberName.h"

std::u16string LowerCaseName(std::u16string_view name)
{
    std::u16string lower(name);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') {
            c = char16_t(c - u'A' + u'a');
        }
    }
    return lower;
}
