#include "shell/SharedState.h"

std::string CommandLineText;
HINSTANCE InstanceHandle = nullptr;
char WindowTitle[100] = {};
char WindowClassName[100] = {};
HWND MainWindow = nullptr;
HWND ProgressDialog = nullptr;

DataFile* SharedDataFile = nullptr;
Generator* SharedGenerator = nullptr;
char* TitleText = nullptr;
char* CancelText = nullptr;
char* InitializeText = nullptr;
char* ProgressText = nullptr;
char* ErrorWordText = nullptr;

bool SharedObjectsExist() {
    return SharedDataFile != nullptr && SharedGenerator != nullptr && TitleText != nullptr &&
           CancelText != nullptr && InitializeText != nullptr && ProgressText != nullptr &&
           ErrorWordText != nullptr;
}
