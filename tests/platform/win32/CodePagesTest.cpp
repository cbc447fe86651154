#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <windows.h>

namespace {

// Wide text is UTF-16 on both platforms, in WCHAR units.
using WideString = std::basic_string<WCHAR>;

// Where Wine answers otherwise than this layer, the tests say so; tests/windows/wine-run sets this.
const bool kUnderWine = std::getenv("TOLVANE_UNDER_WINE") != nullptr;

WideString ToWide(UINT codePage, const std::string& text, int length) {
    const int size = MultiByteToWideChar(codePage, 0, text.c_str(), length, nullptr, 0);
    WideString wide(static_cast<size_t>(size), WCHAR{});
    EXPECT_EQ(size, MultiByteToWideChar(codePage, 0, text.c_str(), length, wide.data(), size));
    return wide;
}

std::string ToNarrow(UINT codePage, const WideString& text, int length) {
    const int size = WideCharToMultiByte(codePage, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    EXPECT_EQ(size, WideCharToMultiByte(codePage, 0, text.c_str(), length, narrow.data(), size, nullptr, nullptr));
    return narrow;
}

TEST(CodePages, SizesCountTheTerminatorOnlyWhenTheLengthIsMinusOne) {
    EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0));
    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 0));
    EXPECT_EQ(WideString(OLESTR("abc\0"), 4), ToWide(CP_UTF8, "abc", -1));
    EXPECT_EQ(OLESTR("abc"), ToWide(CP_UTF8, "abc", 3));
    // An explicit length that takes in the terminator converts it like any character.
    EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, "abc", 4, nullptr, 0));

    EXPECT_EQ(5, WideCharToMultiByte(CP_UTF8, 0, OLESTR("h\u00e9!"), -1, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(std::string("h\xC3\xA9!\0", 5), ToNarrow(CP_UTF8, OLESTR("h\u00e9!"), -1));
    EXPECT_EQ("h\xC3\xA9!", ToNarrow(CP_UTF8, OLESTR("h\u00e9!"), 3));
}

TEST(CodePages, RefusesBadArgumentsAndShortBuffers) {
    WCHAR wide[8];
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 8));
    EXPECT_EQ(0, MultiByteToWideChar(12345, 0, "abc", -1, wide, 8));  // no such code page
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 4));

    char narrow[8];
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, OLESTR("\u00e9\u00e9"), -1, narrow, 4, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    // Windows refuses a used-default flag for UTF-8; Wine 8 ignores it and converts.
    BOOL usedDefault = FALSE;
    SetLastError(0);
    EXPECT_EQ(kUnderWine ? 2 : 0, WideCharToMultiByte(CP_UTF8, 0, OLESTR("x"), -1, narrow, 8, nullptr, &usedDefault));
    EXPECT_EQ(kUnderWine ? 0u : static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(CodePages, InvalidUtf8BecomesOneReplacementPerMaximalPart) {
    EXPECT_EQ(OLESTR("a\uFFFD"), ToWide(CP_UTF8, "a\xC3", 2));                       // cut short
    EXPECT_EQ(OLESTR("\uFFFDA"), ToWide(CP_UTF8, "\xE2\x82" "A", 3));                // valid prefix, one replacement
    EXPECT_EQ(OLESTR("\uFFFD\uFFFD"), ToWide(CP_UTF8, "\xC0\xAF", 2));               // overlong
    // An encoded surrogate and a character beyond U+10FFFF: Wine 8 gives one
    // replacement fewer, taking the lead byte and the first continuation together.
    EXPECT_EQ(kUnderWine ? OLESTR("\uFFFD\uFFFD") : OLESTR("\uFFFD\uFFFD\uFFFD"), ToWide(CP_UTF8, "\xED\xA0\x80", 3));
    EXPECT_EQ(kUnderWine ? OLESTR("\uFFFD\uFFFD\uFFFD") : OLESTR("\uFFFD\uFFFD\uFFFD\uFFFD"),
              ToWide(CP_UTF8, "\xF4\x90\x80\x80", 4));
    EXPECT_EQ(OLESTR("\uFFFDz"), ToWide(CP_UTF8, "\x80z", 2));                       // stray continuation

    WCHAR wide[8];
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3", 2, wide, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
}

TEST(CodePages, CharactersBeyondTheBasicPlaneUseSurrogatePairs) {
    const WideString wide = ToWide(CP_UTF8, "\xF0\x9F\x98\x80", 4);
    EXPECT_EQ(OLESTR("\xD83D\xDE00"), wide);
    EXPECT_EQ("\xF0\x9F\x98\x80", ToNarrow(CP_UTF8, wide, 2));
    // A lone surrogate cannot be written as UTF-8.
    EXPECT_EQ("\xEF\xBF\xBD" "a", ToNarrow(CP_UTF8, WideString(OLESTR("\xD83D") OLESTR("a")), 2));
}

TEST(CodePages, Windows1252MapsItsOwnCharactersBestFitsOthersOrUsesTheDefault) {
    EXPECT_EQ(OLESTR("\u00e9\u20ac\u0081\u0178"), ToWide(1252, "\xE9\x80\x81\x9F", 4));

    char narrow[8] = {};
    BOOL usedDefault = TRUE;
    EXPECT_EQ(3, WideCharToMultiByte(1252, 0, OLESTR("\u20ac\u00e9"), -1, narrow, 8, nullptr, &usedDefault));
    EXPECT_STREQ("\x80\xE9", narrow);
    EXPECT_FALSE(usedDefault);

    // A letter the code page lacks goes to a similar one ("best fit": A for
    // U+0100, ASCII for a full-width form) without using the default.
    EXPECT_EQ(4, WideCharToMultiByte(1252, 0, OLESTR("A\u0100\uff21"), -1, narrow, 8, nullptr, &usedDefault));
    EXPECT_STREQ("AAA", narrow);
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(4, WideCharToMultiByte(1252, 0, OLESTR("A\u0100\u4e2d"), -1, narrow, 8, nullptr, &usedDefault));
    EXPECT_STREQ("AA?", narrow);
    EXPECT_TRUE(usedDefault);
    // ... unless the caller refuses best fit.
    EXPECT_EQ(3, WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, OLESTR("A\u0100"), -1, narrow, 8, nullptr,
                                     &usedDefault));
    EXPECT_STREQ("A?", narrow);
    EXPECT_TRUE(usedDefault);

    // A character outside the basic plane is two UTF-16 units, each without a byte.
    const char star = '*';
    EXPECT_EQ(2, WideCharToMultiByte(1252, 0, OLESTR("\U0001F600"), 2, narrow, 8, &star, &usedDefault));
    EXPECT_EQ(std::string("**"), std::string(narrow, 2));
}

TEST(CodePages, TheAnsiCodePageIsUtf8UnlessTheEnvironmentAsksFor1252) {
    if (GetACP() == 1252) {
        GTEST_SKIP() << "run with TOLVANE_ACP=1252";
    }
    EXPECT_EQ(static_cast<UINT>(CP_UTF8), GetACP());
    EXPECT_EQ(OLESTR("\u00e9"), ToWide(CP_ACP, "\xC3\xA9", 2));
}

TEST(AnsiCodePage1252, ConversionsThroughCpAcpUseWindows1252) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "runs with TOLVANE_ACP=1252";
    }
    EXPECT_EQ(OLESTR("\u00c3\u00a9"), ToWide(CP_ACP, "\xC3\xA9", 2));
    char narrow[4] = {};
    BOOL usedDefault = FALSE;
    EXPECT_EQ(2, WideCharToMultiByte(CP_ACP, 0, OLESTR("\u0141"), -1, narrow, 4, nullptr, &usedDefault));
    // Best fit: L for U+0141, and no default character used.
    EXPECT_STREQ("L", narrow);
    EXPECT_FALSE(usedDefault);
}

}  // namespace
