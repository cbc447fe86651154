// Each system's side of TemporaryName: TemporaryNamesSignals.cpp (Linux) and
// TemporaryNamesWindows.cpp.
#pragma once

#include <filesystem>

namespace office {

// Installs the handler that calls RemoveRegisteredNames when the process is
// being ended; called once, before the first name is registered.
void InstallEndingHandler();

// Removes one file; safe inside a signal handler.
void RemoveName(const std::filesystem::path::value_type* path);

// Removes every registered file; takes no lock and frees nothing.
void RemoveRegisteredNames();

}  // namespace office
