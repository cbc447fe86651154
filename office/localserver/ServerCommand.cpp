#include "office/localserver/ServerCommand.h"

namespace {

bool IsSwitch(const std::wstring& argument, const wchar_t* name)
{
    return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-') &&
           CompareStringOrdinal(argument.c_str() + 1, -1, name, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

ServerCommand ParseServerCommand(const std::vector<std::wstring>& arguments)
{
    ServerCommand command;
    bool actionSeen = false;
    for (const std::wstring& argument : arguments) {
        ServerCommand::Action action = ServerCommand::Usage;
        if (IsSwitch(argument, L"Embedding") || IsSwitch(argument, L"Automation")) {
            action = ServerCommand::Serve;
        } else if (IsSwitch(argument, L"RegServer")) {
            action = ServerCommand::Register;
        } else if (IsSwitch(argument, L"UnregServer")) {
            action = ServerCommand::Unregister;
        } else if (IsSwitch(argument, L"machine")) {
            command.scope = RegistryScope::Machine;
            continue;
        } else {
            return ServerCommand{ServerCommand::Usage, command.scope, L"unknown argument " + argument};
        }
        if (actionSeen && action != command.action) {
            return ServerCommand{ServerCommand::Usage, command.scope, L"more than one action: " + argument};
        }
        actionSeen = true;
        command.action = action;
    }
    if (!actionSeen) {
        command.problem = L"no action given";
    }
    return command;
}
