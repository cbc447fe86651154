// Word.Application: the documents, visibility (showing documents writes
// them out), window state, Activate and Quit.
#pragma once

#include "office/dispatch/AutomationObject.h"
#include "office/wordprocessor/WordState.h"

namespace office::word {

class ApplicationObject : public AutomationObject<ApplicationObject> {
public:
    ApplicationObject() : state_(std::make_shared<WordState>()) {}
    static const MemberTable<ApplicationObject>& Members();

private:
    void Visible(Call& call);
    void WindowState(Call& call);
    void Quit(Call& call);
    void Selection(Call& call);
    void ActiveDocument(Call& call);
    void PresentNewDocuments();

    WordStatePtr state_;
};

}  // namespace office::word
