// Hidden temporary files that have a name (where the file system gives no
// unnamed ones) are removed by a signal handler when SIGTERM, SIGHUP or SIGINT
// is about to end the process, so that not even a killed run leaves one
// behind. A signal that some other handler takes (the terminal's Cancel) is
// passed on to it, and the files stay for their owners to finish. On Windows
// a console control handler (Ctrl+C, closing the console, logoff, shutdown)
// does the same; a handler installed after it that takes the event keeps them.
#pragma once

#include <filesystem>

namespace office {

class TemporaryName {
public:
    // Registers path for removal; installs the handler the first time.
    explicit TemporaryName(const std::filesystem::path& path);
    ~TemporaryName();  // unregisters; the file itself is its owner's business
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

private:
    int slot_;  // -1 when every slot was taken
};

}  // namespace office
