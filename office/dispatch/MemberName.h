// Member names compare without regard to (ASCII) case, as automation requires.
#pragma once

#include <string>
#include <string_view>

std::u16string LowerCaseName(std::u16string_view name);
