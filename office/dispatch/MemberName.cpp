#include "office/dispatch/MemberName.h"

OleString LowerCaseName(OleStringView name)
{
    OleString lower(name);
    for (OLECHAR& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = OLECHAR(c - 'A' + 'a');
        }
    }
    return lower;
}
