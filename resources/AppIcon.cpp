// The application icon: a page of text with an arrow leading out of it, in the
// 16 colours of the standard palette.
#include "resources/ProgramResources.h"

namespace {

constexpr uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr const char* kSmallRows[16] = {
    "..888888888.....",
    "..8FFFFFFF87....",
    "..8FFFFFFF877...",
    "..8F44444F8777..",
    "..8FFFFFFF88888.",
    "..8FFFFFFFFFFF8.",
    "..8F444444444F8.",
    "..8FFFFFFFFFFF8.",
    "..8F444444444F8.",
    "..8FFFFFFFFF2F8.",
    "..8F44444FFF228.",
    "..8FFFFAAAAA222.",
    "..8F444222222222",
    "..8FFFF22222222.",
    "..8FFFFFFFFF228.",
    "..8888888888288.",
};

constexpr const char* kLargeRows[32] = {
    "....888888888888888888..........",
    "....8FFFFFFFFFFFFFFFF87.........",
    "....8FFFFFFFFFFFFFFFF877........",
    "....8FFFFFFFFFFFFFFFF8777.......",
    "....8FFFFFFFFFFFFFFFF87777......",
    "....8FFFFFFFFFFFFFFFF877777.....",
    "....8FFF444444444FFFF8777777....",
    "....8FFF444444444FFFF87777777...",
    "....8FFFFFFFFFFFFFFFF888888888..",
    "....8FFFFFFFFFFFFFFFFFFFFFFFF8..",
    "....8FFFFFFFFFFFFFFFFFFFFFFFF8..",
    "....8FFFFFFFFFFFFFFFFFFFFFFFF8..",
    "....8FFF44444444444444444FFFF8..",
    "....8FFF44444444444444444FFFF8..",
    "....8FFFFFFFFFFFFFFFFFFFFFFFF8..",
    "....8FFFFFFFFFFFFFFFFFFF0FFFF8..",
    "....8FFF444444444444444020FFF8..",
    "....8FFF4444444444444440220FF8..",
    "....8FFFFFFFFFFFFFFFFFF02220F8..",
    "....8FFFFFFFFFFFFFFFFFF0222208..",
    "....8FFF4444400000000000222220..",
    "....8FFF44440AAAAAAAAAAA2222220.",
    "....8FFFFFFF02222222222222222220",
    "....8FFFFFFF02222222222222222222",
    "....8FFF444402222222222222222220",
    "....8FFF44440222222222222222220.",
    "....8FFFFFFFF00000000000222220..",
    "....8FFFFFFFFFFFFFFFFFF0222208..",
    "....8FFF44444FFFFFFFFFF02220F8..",
    "....8FFF44444FFFFFFFFFF0220FF8..",
    "....8FFFFFFFFFFFFFFFFFF020FFF8..",
    "....88888888888888888888088888..",
};

constexpr IconImageResource kImages[] = {
    {16, 16, kPalette, kSmallRows},
    {32, 32, kPalette, kLargeRows},
};

}  // namespace

std::span<const IconImageResource> AppIconImages() {
    return kImages;
}
