// The data-file loader on any bytes: a clean load or a COMException.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "automation/COMException.h"
#include "datafile/DataFile.h"
#include "fuzz/PartList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchFile("data.xml", std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        DataFile file(path.c_str());
        file.GetType();
        delete[] file.GetMessageText("TITLE");
    } catch (const COMException&) {
    }
    return 0;
}
