// Bytes handed on a piece at a time, so that a large file is never held whole.
#pragma once

#include <functional>
#include <string_view>

namespace office {

// Receives bytes a piece at a time, in order.
using ByteSink = std::function<void(std::string_view)>;
// Writes a file's bytes into the sink it is given; may throw to give up.
using ContentWriter = std::function<void(const ByteSink&)>;

}  // namespace office
