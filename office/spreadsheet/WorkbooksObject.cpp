// The Workbooks collection: Add makes a new workbook from a template file.
#include <strings.h>

#include <cctype>
#include <filesystem>

#include "office/convert/LegacyConversion.h"
#include "office/dispatch/AutomationObject.h"
#include "office/dispatch/Utf8.h"
#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/spreadsheet/BlankWorkbook.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

std::string Lower(std::string text)
{
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

class WorkbooksObject : public AutomationObject<WorkbooksObject> {
public:
    explicit WorkbooksObject(State state) : state(std::move(state)) {}

    static const MemberTable<WorkbooksObject>& Members()
    {
        static const MemberTable<WorkbooksObject> table = {
            {OLESTR("Add"), Kind::Method, &WorkbooksObject::Add, 0, 1, 0xb5},
            {OLESTR("Count"), Kind::Get, [](WorkbooksObject& self, Call& call) { call.ReturnInt(LONG(self.state->workbooks.size())); },
             0, 0, 0x76},
            {OLESTR("Item"), Kind::Get, &WorkbooksObject::Item, 1, 1, 0xaa},
        };
        return table;
    }

private:
    void Add(Call& call)
    {
        if (!call.Has(0)) {
            // A blank workbook: Book1, Book2, ...
            int number = ++state->namesTaken[""];
            Open(Workbook::FromPackage(BlankWorkbookPackage()), "Book" + std::to_string(number), call);
            return;
        }
        std::string path = call.Utf8(0);
        const std::filesystem::path file = PathFromUtf8(path);
        std::string extension = Lower(PathText(file.extension()));
        if (extension == ".xlsb") {
            throw AutomationError("Cannot open '" + path + "': only OOXML templates (.xltx, .xltm, .xlsx, .xlsm) are read");
        }
        std::unique_ptr<Workbook> model;
        try {
            // Old formats are converted first; the cache keeps the package read
            // from the converted copy.
            auto source = state->templates.Get(OoxmlTemplateFor(file, LegacyKind::Spreadsheet),
                                               [](const std::filesystem::path& path) {
                                                   return std::make_shared<const Package>(Package::Open(path));
                                               });
            model = Workbook::FromPackage(*source);
        } catch (const PackageError& error) {
            throw AutomationError(error.what());
        }
        std::string base = PathText(file.stem());
        int number = ++state->namesTaken[Lower(base)];
        std::string name = base + std::to_string(number);
        Open(std::move(model), name, call);
    }

    void Open(std::unique_ptr<Workbook> model, const std::string& name, Call& call)
    {
        std::string type = model->macroEnabled ? "xlsm" : "xlsx";
        auto document = std::make_shared<SpreadsheetDocument>(std::move(model), name, type);
        // The program fills one workbook after the other: those before the
        // new one are done and wait only to be shown.
        for (const Document& earlier : state->workbooks) {
            earlier->Park();
        }
        state->workbooks.push_back(document);
        state->active = document;
        call.ReturnObject(MakeWorkbook(state, document));
    }

    void Item(Call& call)
    {
        Index index = call.IndexArg(0);
        if (index.byName) {
            std::string name = Utf16ToUtf8(index.name);
            for (const Document& document : state->workbooks) {
                if (strcasecmp(document->Name().c_str(), name.c_str()) == 0) {
                    call.ReturnObject(MakeWorkbook(state, document));
                    return;
                }
            }
            throw AutomationError("There is no open workbook named '" + name + "'");
        }
        if (index.number < 1 || size_t(index.number) > state->workbooks.size()) {
            throw AutomationError("There is no workbook number " + std::to_string(index.number));
        }
        call.ReturnObject(MakeWorkbook(state, state->workbooks[size_t(index.number - 1)]));
    }

    State state;
};

}  // namespace

ComPtr<IDispatch> MakeWorkbooks(const State& state)
{
    return MakeObject<WorkbooksObject>(state);
}

}  // namespace office::spreadsheet
