// The Application object behind "Excel.Application".
#include "office/dispatch/AutomationObject.h"
#include "office/package/PackageError.h"
#include "office/package/Presenter.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

constexpr LONG kMaximized = -4137;
constexpr LONG kMinimized = -4140;
constexpr LONG kNormal = -4143;

class ApplicationObject : public AutomationObject<ApplicationObject> {
public:
    ApplicationObject() : state(std::make_shared<ApplicationState>()) {}
    ~ApplicationObject() override = default;

    static const MemberTable<ApplicationObject>& Members()
    {
        static const MemberTable<ApplicationObject> table = {
            {OLESTR("Workbooks"), Kind::Get, [](ApplicationObject& self, Call& call) { call.ReturnObject(MakeWorkbooks(self.state)); },
             0, 0, 0x23c},
            {OLESTR("ActiveWorkbook"), Kind::Get, &ApplicationObject::ActiveWorkbook, 0, 0, 0x134},
            {OLESTR("ActiveSheet"), Kind::Get, &ApplicationObject::ActiveSheet, 0, 0, 0x133},
            {OLESTR("ActiveCell"), Kind::Get, &ApplicationObject::ActiveCell, 0, 0, 0x131},
            {OLESTR("Selection"), Kind::Get, &ApplicationObject::Selection, 0, 0, 0x93},
            {OLESTR("Rows"), Kind::Get, &ApplicationObject::Rows, 0, 0, 0x102},
            {OLESTR("Cells"), Kind::Get, &ApplicationObject::Cells, 0, 0, 0xee},
            {OLESTR("Range"), Kind::Get, &ApplicationObject::Range, 1, 2, 0xc5},
            {OLESTR("Visible"), Kind::Get | Kind::Put, &ApplicationObject::Visible, 0, 0, 0x22e},
            {OLESTR("EnableEvents"), Kind::Get | Kind::Put, &ApplicationObject::EnableEvents, 0, 0, 0x4bc},
            {OLESTR("WindowState"), Kind::Get | Kind::Put, &ApplicationObject::WindowState, 0, 0, 0x18c},
            {OLESTR("CutCopyMode"), Kind::Get | Kind::Put, &ApplicationObject::CutCopyMode, 0, 0, 0x14a},
            {OLESTR("AddIns"), Kind::Get, [](ApplicationObject&, Call& call) { call.ReturnObject(MakeAddIns()); }, 0, 0, 0x225},
            {OLESTR("SendKeys"), Kind::Method, &ApplicationObject::SendKeys, 1, 2, 0x17f},
            {OLESTR("Quit"), Kind::Method, &ApplicationObject::Quit, 0, 0, 0x12e},
            {OLESTR("Name"), Kind::Get, [](ApplicationObject&, Call& call) { call.ReturnText(OLESTR("Spreadsheet")); }, 0, 0, 0x6e},
        };
        return table;
    }

private:
    OleString ErrorSource() const override { return OLESTR("Spreadsheet"); }

    void ActiveWorkbook(Call& call)
    {
        if (!state->active || state->active->Closed()) {
            call.ReturnNothing();
            return;
        }
        call.ReturnObject(MakeWorkbook(state, state->active));
    }

    void ActiveSheet(Call& call)
    {
        if (!state->active || state->active->Closed()) {
            call.ReturnNothing();
            return;
        }
        call.ReturnObject(MakeWorksheet(state, state->active, state->active->Model().activeSheet));
    }

    void ActiveCell(Call& call)
    {
        Document document = state->ActiveDocument();
        Sheet& sheet = document->SheetAt(document->Model().activeSheet);
        CellRect cell{sheet.activeCell.row, sheet.activeCell.column, sheet.activeCell.row, sheet.activeCell.column};
        call.ReturnObject(MakeRange(state, document, sheet.index, cell));
    }

    void Selection(Call& call)
    {
        if (!state->active || state->active->Closed()) {
            call.ReturnNothing();
            return;
        }
        Sheet& sheet = state->active->SheetAt(state->active->Model().activeSheet);
        call.ReturnObject(MakeRange(state, state->active, sheet.index, sheet.selection));
    }

    void Rows(Call& call)
    {
        Document document = state->ActiveDocument();
        call.ReturnObject(MakeRange(state, document, document->Model().activeSheet, CellRect{1, 1, kMaxRow, kMaxColumn},
                                    RangeView::Rows));
    }

    void Cells(Call& call)
    {
        Document document = state->ActiveDocument();
        call.ReturnObject(MakeRange(state, document, document->Model().activeSheet, CellRect{1, 1, kMaxRow, kMaxColumn}));
    }

    void Range(Call& call)
    {
        Document document = state->ActiveDocument();
        call.ReturnObject(RangeFromArguments(state, document, document->Model().activeSheet, call));
    }

    void Visible(Call& call)
    {
        if (!call.IsPut()) {
            call.ReturnBool(state->visible);
            return;
        }
        state->visible = call.Value().AsBool();
        if (state->visible) {
            PresentAll();
        }
    }

    // Every workbook not shown yet is written into the output folder, in
    // batches that share one flush to disk. A workbook that cannot be built
    // does not cost the ones before it: they are written first.
    void PresentAll()
    {
        constexpr size_t kBatchFiles = 256;
        constexpr size_t kBatchBytes = size_t(64) << 20;
        std::vector<Document> waiting;
        std::vector<PresentedDocument> files;
        size_t bytes = 0;
        auto present = [&] {
            if (files.empty()) {
                return;
            }
            try {
                PresentDocuments(files, [&](size_t i) { waiting[i]->MarkPresented(); });
            } catch (const PackageError& error) {
                throw AutomationError(std::string("Cannot show the workbooks: ") + error.what());
            }
            waiting.clear();
            files.clear();
            bytes = 0;
        };
        for (const Document& document : state->workbooks) {
            if (document->Presented() || document->Closed()) {
                continue;
            }
            try {
                Package built = document->Built();
                bytes += built.StoredSize();
                files.emplace_back(document->Name(), document->Extension(), built.Writer());
            } catch (const PackageError& error) {
                present();
                throw AutomationError("Cannot show the workbook '" + document->Name() + "': " + error.what());
            }
            waiting.push_back(document);
            if (files.size() >= kBatchFiles || bytes >= kBatchBytes) {
                present();
            }
        }
        present();
    }

    void EnableEvents(Call& call)
    {
        if (call.IsPut()) {
            state->enableEvents = call.Value().AsBool();
        } else {
            call.ReturnBool(state->enableEvents);
        }
    }

    void WindowState(Call& call)
    {
        if (!call.IsPut()) {
            call.ReturnInt(state->windowState);
            return;
        }
        LONG value = call.Value().AsInt();
        if (value != kMaximized && value != kMinimized && value != kNormal) {
            throw AutomationError("WindowState cannot be " + std::to_string(value) +
                                  " (use -4137 maximized, -4140 minimized or -4143 normal)");
        }
        state->windowState = value;
    }

    void CutCopyMode(Call& call)
    {
        if (call.IsPut()) {
            if (!call.Value().AsBool()) {
                state->clipboard.reset();
            }
        } else {
            call.ReturnInt(state->clipboard ? 1 : 0);
        }
    }

    void SendKeys(Call& call)
    {
        OleString keys = call.Text(0);
        for (auto& c : keys) {
            if (c >= 'a' && c <= 'z') {
                c = OLECHAR(c - 'a' + 'A');
            }
        }
        if (keys.find(OLESTR("{ESC}")) != OleString::npos || keys.find(OLESTR("{ESCAPE}")) != OleString::npos) {
            state->clipboard.reset();
        }
    }

    void Quit(Call&)
    {
        for (const Document& document : state->workbooks) {
            document->Close();
        }
        state->workbooks.clear();
        state->active.reset();
        state->clipboard.reset();
    }

    State state;
};

}  // namespace

ComPtr<IDispatch> MakeApplication()
{
    return MakeObject<ApplicationObject>();
}

}  // namespace office::spreadsheet
