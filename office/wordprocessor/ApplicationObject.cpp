#include "office/wordprocessor/ApplicationObject.h"

#include "office/package/PackageError.h"
#include "office/package/Presenter.h"
#include "office/wordprocessor/DocumentObjects.h"
#include "office/wordprocessor/SelectionObjects.h"

#include <new>

namespace office::word {

const MemberTable<ApplicationObject>& ApplicationObject::Members() {
    static const MemberTable<ApplicationObject> table = {
        {OLESTR("Documents"), Kind::Get,
         [](ApplicationObject& self, Call& call) { call.ReturnObject(MakeObject<DocumentsObject>(self.state_)); }, 0, 0,
         0x6},
        {OLESTR("Visible"), Kind::Get | Kind::Put, &ApplicationObject::Visible, 0, 0, 0x17},
        {OLESTR("WindowState"), Kind::Get | Kind::Put, &ApplicationObject::WindowState, 0, 0, 0x5b},
        {OLESTR("Activate"), Kind::Method, [](ApplicationObject&, Call&) {}, 0, 0, 0x181},
        {OLESTR("Quit"), Kind::Method, &ApplicationObject::Quit, 0, 3, 0x451},
        {OLESTR("Selection"), Kind::Get, &ApplicationObject::Selection},
        {OLESTR("ActiveDocument"), Kind::Get, &ApplicationObject::ActiveDocument},
        {OLESTR("Name"), Kind::Get, [](ApplicationObject&, Call& call) { call.ReturnText(OLESTR("Tolvane Word Processor")); }},
    };
    return table;
}

void ApplicationObject::Visible(Call& call) {
    if (!call.IsPut()) {
        call.ReturnBool(state_->visible);
        return;
    }
    state_->visible = call.Value().AsBool();
    if (state_->visible) PresentNewDocuments();
}

// Every document not shown yet is written into the output folder and opened,
// in batches, so that the bytes of all of them are never held at once. A
// document that cannot be built costs no other: the rest are written, then
// the first failure is reported, and the failed one stays unshown.
void ApplicationObject::PresentNewDocuments() {
    constexpr size_t kBatchFiles = 256;
    constexpr size_t kBatchBytes = size_t{64} << 20;
    std::vector<OpenDocumentPtr> waiting;
    std::vector<PresentedDocument> files;
    size_t bytes = 0;
    auto present = [&] {
        if (files.empty()) return;
        try {
            PresentDocuments(files, [&](size_t i) { waiting[i]->document.presented = true; });
        } catch (const PackageError& error) {
            throw AutomationError(std::string("Visible: the documents could not be shown: ") + error.what());
        }
        waiting.clear();
        files.clear();
        bytes = 0;
    };
    std::string failure;
    for (const OpenDocumentPtr& open : state_->documents) {
        if (open->document.presented) continue;
        std::string reason;
        try {
            files.push_back({open->document.Name(), "docx", open->document.ToBytes()});
        } catch (const PackageError& error) {
            reason = error.what();
        } catch (const std::bad_alloc&) {
            reason = "out of memory";
        }
        if (!reason.empty()) {
            if (failure.empty()) failure = "Visible: " + open->document.Name() + " could not be written: " + reason;
            continue;
        }
        waiting.push_back(open);
        bytes += files.back().bytes.size();
        if (files.size() >= kBatchFiles || bytes >= kBatchBytes) present();
    }
    present();
    if (!failure.empty()) throw AutomationError(failure);
}

void ApplicationObject::WindowState(Call& call) {
    if (!call.IsPut()) {
        call.ReturnInt(state_->windowState);
        return;
    }
    LONG value = call.Value().AsInt();
    if (value < 0 || value > 2) {
        throw AutomationError("WindowState: " + std::to_string(value) +
                              " is not a window state (0 normal, 1 maximised, 2 minimised)");
    }
    state_->windowState = value;
}

// Quit(SaveChanges): with wdDoNotSaveChanges (0, the default here) the
// documents are discarded and nothing is written. Saving (-1) or prompting
// (-2, there is no one to ask) writes the documents not shown yet, as
// showing does, rather than losing them.
void ApplicationObject::Quit(Call& call) {
    if (call.Has(0) && call.Int(0) != 0) PresentNewDocuments();
    state_->documents.clear();
    state_->active.reset();
    state_->clipboard.kind = Clipboard::Kind::Empty;
}

void ApplicationObject::Selection(Call& call) {
    if (!state_->active) {
        call.ReturnNothing();
        return;
    }
    call.ReturnObject(MakeObject<SelectionObject>(state_, state_->active));
}

void ApplicationObject::ActiveDocument(Call& call) {
    if (!state_->active) throw AutomationError("ActiveDocument: no document is open");
    call.ReturnObject(MakeObject<DocumentObject>(state_, state_->active));
}

}  // namespace office::word
