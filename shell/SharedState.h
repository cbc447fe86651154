// Process-wide state through which the user-interface thread and the worker
// meet. The worker writes the data file, the five texts and the generator, in
// that order, each once; the user-interface thread only compares them with null.
#pragma once

#include <string>

#include "generator/CancelRequested.h"
#include <windows.h>

class DataFile;
class Generator;

// The command-line text after the program name; after command-line
// processing, the data file path.
extern std::string CommandLineText;
extern HINSTANCE InstanceHandle;
extern char WindowTitle[100];
extern char WindowClassName[100];
// The hidden main window: owner of most message boxes.
extern HWND MainWindow;
// The modeless progress dialog.
extern HWND ProgressDialog;

// Owned by the worker; null until it has made them.
extern DataFile* SharedDataFile;
extern Generator* SharedGenerator;
extern char* TitleText;
extern char* CancelText;
extern char* InitializeText;
extern char* ProgressText;
extern char* ErrorWordText;

// True once the data file, the five texts and the generator all exist.
bool SharedObjectsExist();
