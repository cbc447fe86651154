// The Linux host of the Windows program: what Windows does before WinMain.
// The heap is set up first (ProgramHeap.h), which may restart the process.
// The command-line text is the arguments after the program name joined with
// single blanks; the office servers are registered in the class registry, as
// an installed office suite is in the system registry. The process ends
// through ExitProcess, so no static destructor runs while the worker may
// still run.
#include <string>

#include "platform/host/ProgramHeap.h"
#include "platform/host/RegisterServers.h"
#include "platform/win32/windows.h"
#include "resources/ProgramResources.h"
#include "shell/WinMain.h"

int main(int argc, char** argv) {
    UseProgramHeap(argv);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    RegisterOfficeServers();
    const HINSTANCE instance = InstanceOf(ProgramResources());
    ExitProcess(static_cast<UINT>(WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT)));
}
