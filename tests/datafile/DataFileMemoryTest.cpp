// A load that runs out of memory must fail with the out-of-memory text, not
// report success with a part of the data missing. The address space is
// limited in a child process; sanitizers reserve too much address space for
// that, so the case runs in the plain build only.
#include "datafile/DataFile.h"

#include "automation/COMException.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>
#include <string>

#if !defined(__SANITIZE_ADDRESS__)

namespace {

size_t AddressSpaceInUse()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0)
            return std::stoul(line.substr(7)) * 1024;
    }
    return 0;
}

int LoadWithLimitedMemory(const std::string& path)
{
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = AddressSpaceInUse() + 48 * 1024 * 1024;
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        return 2;
    try {
        DataFile data(path.c_str());
    } catch (const COMException& e) {
        return e.message == "Unable to load file " + path + " (error #1: Out of memory)\n" ? 0 : 3;
    }
    return 4;
}

TEST(DataFileMemoryTest, RunningOutOfMemoryFailsTheLoad)
{
    TempFolder folder;
    std::string path = folder.PathOf("huge.xml");
    {
        std::ofstream out(path, std::ios::binary);
        out << "<r><text>";
        std::string line(1023, 'a');
        for (int i = 0; i < 100 * 1024; ++i)
            out << line << '\n';
        out << "</text></r>";
    }
    EXPECT_EXIT(std::exit(LoadWithLimitedMemory(path)), ::testing::ExitedWithCode(0), "");
}

} // namespace

#endif
