// Progress accounting: the percentage in control 107 of the dialog.
#include "generator/Generator.h"

void Generator::CountFields() {
    if (totalFields != 0) return;
    Element* documents = ChildByName(rootElement, "DOCUMENTS");
    for (Element* document = NextChild(documents, nullptr); document;
         document = NextChild(documents, document)) {
        if (Element* fields = ChildByName(document, "FIELDS"))
            totalFields += static_cast<int32_t>(ChildCount(fields));
    }
}

void Generator::AdvanceProgress(int32_t amount) {
    CountFields();
    basePercent += amount;
    ShowPercent(basePercent);
}

void Generator::StepProgress(bool allDone) {
    CountFields();
    int32_t percentage = 100;
    if (!allDone) {
        // With nothing counted there is no fraction to show: stay at the base.
        percentage = totalFields == 0
                         ? basePercent
                         : basePercent + (100 - basePercent) * fieldsDone / totalFields;
        ++fieldsDone;
    }
    ShowPercent(percentage);
}

void Generator::ShowPercent(int32_t percentage) {
    if (percentage == shownPercent) return;
    std::string text = IntToText(percentage) + "%";
    SendMessageA(GetDlgItem(dialogWindow, PercentControl), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
    shownPercent = percentage;
}
