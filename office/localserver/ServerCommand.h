// What tolvane-office.exe was started to do, from its command line:
//   -Embedding            started by COM: serve the classes
//   /RegServer [/machine] register them, for this user or the machine
//   /UnregServer [/machine]
// Switches start with '/' or '-' and match without regard to case.
#pragma once

#include <string>
#include <vector>

#include "office/localserver/ServerRegistration.h"

struct ServerCommand {
    enum Action { Serve, Register, Unregister, Usage } action = Usage;
    RegistryScope scope = RegistryScope::User;
    std::wstring problem;  // why the line was not understood, for Usage
};

ServerCommand ParseServerCommand(const std::vector<std::wstring>& arguments);
