#include "shell/Worker.h"

#include <string>

#include "automation/COMException.h"
#include "datafile/DataFile.h"
#include "excel/ExcelGenerator.h"
#include "shell/SharedState.h"
#include "word/WordGenerator.h"

namespace {
constexpr int CancelButton = 2;
constexpr int StatusLine = 106;
constexpr WPARAM CloseCommand = 108;

void SetText(HWND window, const char* text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

Generator* CreateGenerator(int32_t type) {
    Element* root = SharedDataFile->GetRoot();
    if (type == 1) return new WordGenerator(root, ProgressDialog, ProgressText);
    if (type == 2) return new ExcelGenerator(root, ProgressDialog, ProgressText);
    return nullptr;
}
}

DWORD WINAPI WorkerMain(LPVOID) {
    try {
        SharedDataFile = new DataFile(CommandLineText.c_str());
        TitleText = SharedDataFile->GetMessageText("TITLE");
        CancelText = SharedDataFile->GetMessageText("CANCEL");
        InitializeText = SharedDataFile->GetMessageText("INITIALIZE");
        ProgressText = SharedDataFile->GetMessageText("PROGRESS");
        ErrorWordText = SharedDataFile->GetMessageText("ERRORWORD");

        SetText(ProgressDialog, TitleText);
        SetText(GetDlgItem(ProgressDialog, CancelButton), CancelText);
        SetText(GetDlgItem(ProgressDialog, StatusLine), InitializeText);

        int32_t resultCode = 0;
        if (Generator* generator = CreateGenerator(SharedDataFile->GetType())) {
            // From here on Cancel only asks the run to stop.
            SharedGenerator = generator;
            resultCode = generator->Run();
        } else {
            MessageBoxA(MainWindow,
                        "Something is wrong with the type (1=word, 2=excel) meta data in the xml file!",
                        "Message", MB_ICONERROR);
        }

        std::string resultMessage =
            std::string(ErrorWordText) + "(ref:" + std::to_string(resultCode) + ")";
        if (resultCode > 0) MessageBoxA(MainWindow, resultMessage.c_str(), "Message", MB_ICONERROR);
    } catch (COMException& failure) {
        MessageBoxA(nullptr, failure.message.c_str(), "Error", MB_ICONERROR | MB_SETFOREGROUND);
    }
    ReleaseShared();
    SendMessageA(ProgressDialog, WM_COMMAND, CloseCommand, 0);
    return 0;
}

void StartWorker() {
    if (!CreateThread(nullptr, 0, WorkerMain, nullptr, 0, nullptr))
        MessageBoxA(MainWindow, "Thread could not be created!", "Message", MB_ICONERROR);
}

void ReleaseShared() {
    delete SharedGenerator;
    delete SharedDataFile;
    for (char* text : {TitleText, CancelText, InitializeText, ProgressText, ErrorWordText})
        delete[] text;
}
