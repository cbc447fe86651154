#include <gtest/gtest.h>

#include "platform/win32/DisplayText.h"
#include "platform/win32/windows.h"

namespace {

TEST(DisplayText, AnsiTextBecomesValidUtf8) {
    EXPECT_EQ("", win32::AnsiToUtf8(""));
    if (GetACP() == 1252) {
        EXPECT_EQ("Caf\xC3\xA9 \xE2\x82\xAC", win32::AnsiToUtf8("Caf\xE9 \x80"));
    } else {
        EXPECT_EQ("Caf\xC3\xA9", win32::AnsiToUtf8("Caf\xC3\xA9"));
        EXPECT_EQ("Caf\xEF\xBF\xBD", win32::AnsiToUtf8("Caf\xE9"));
    }
}

}  // namespace
