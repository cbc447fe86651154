#include "platform/win32/UiBackend.h"

namespace win32 {

std::unique_ptr<UiBackend> CreateGtkBackend() {
    return nullptr;
}

}  // namespace win32
