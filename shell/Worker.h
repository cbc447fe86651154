// The worker thread: loads the data file, runs the generator its type asks
// for, reports the outcome and closes the progress dialog.
#pragma once

#include <windows.h>

DWORD WINAPI WorkerMain(LPVOID parameter);

// Starts the one worker thread; tells the user when it cannot be created.
void StartWorker();

// Frees the worker's shared objects: generator, data file, then the texts.
void ReleaseShared();
