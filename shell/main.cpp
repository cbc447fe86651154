// The platform start-up: the command-line text is the arguments after the
// program name joined with single blanks. The process ends through
// ExitProcess, so no static destructor runs while the worker may still run.
#include <string>

#include "platform/win32/windows.h"
#include "resources/ProgramResources.h"
#include "shell/WinMain.h"

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    const HINSTANCE instance = InstanceOf(ProgramResources());
    ExitProcess(static_cast<UINT>(WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT)));
}
