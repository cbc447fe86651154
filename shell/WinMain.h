// The program's graphical entry point.
#pragma once

#include <windows.h>

// Reads the command line (usage, version query), creates the hidden main
// window and the progress dialog, starts the worker and pumps messages until
// the dialog is closed. Returns the exit code.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd);
