// CustomDocumentProperties: Add writes into docProps/custom.xml.
#include <cmath>
#include <cstdio>

#include "office/dispatch/AutomationObject.h"
#include "office/package/PackageError.h"
#include "office/package/Properties.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

constexpr LONG kNumber = 1;
constexpr LONG kBoolean = 2;
constexpr LONG kDate = 3;
constexpr LONG kString = 4;
constexpr LONG kFloat = 5;

// An OLE date as the W3C date-time text of vt:filetime.
std::string FileTime(DATE date)
{
    double days = std::floor(date);
    int64_t seconds = int64_t(std::llround((date - days) * 86400.0));
    int64_t z = int64_t(days) - 25569 + 719468;  // days since 1970, then shifted to 0000-03-01
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", (long long)year, (long long)month,
                  (long long)day, (long long)(seconds / 3600), (long long)(seconds / 60 % 60), (long long)(seconds % 60));
    return text;
}

class PropertiesObject : public AutomationObject<PropertiesObject> {
public:
    explicit PropertiesObject(Document document) : document(std::move(document)) {}

    static const MemberTable<PropertiesObject>& Members()
    {
        static const MemberTable<PropertiesObject> table = {
            {OLESTR("Add"), Kind::Method, &PropertiesObject::Add, 2, 5},
            {OLESTR("Count"), Kind::Get,
             [](PropertiesObject& self, Call& call) {
                 call.ReturnInt(LONG(CustomProperties(self.document->Model().package).size()));
             },
             0, 0, 0x76},
        };
        return table;
    }

private:
    // Add(Name, LinkToContent, Type, Value, LinkSource)
    void Add(Call& call)
    {
        std::string name = call.Utf8(0);
        if (call.Bool(1, false)) {
            throw AutomationError("Custom property '" + name + "': linking to content is not supported");
        }
        if (!call.Has(2) || !call.Has(3)) {
            throw AutomationError("Custom property '" + name + "' needs a Type and a Value");
        }
        LONG type = call.Int(2);
        CustomProperty property{name, "", ""};
        switch (type) {
        case kNumber:
            property.type = "i4";
            property.value = std::to_string(call.Int(3));
            break;
        case kBoolean:
            property.type = "bool";
            property.value = call.Bool(3) ? "true" : "false";
            break;
        case kDate:
            property.type = "filetime";
            property.value = FileTime(call.Arg(3).AsDate());
            break;
        case kString:
            property.type = "lpwstr";
            property.value = call.Utf8(3);
            break;
        case kFloat: {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", call.Double(3));
            property.type = "r8";
            property.value = text;
            break;
        }
        default:
            throw AutomationError("Custom property '" + name + "': unknown type " + std::to_string(type));
        }
        if (name.empty()) {
            throw AutomationError("A custom property needs a name");
        }
        try {
            AddCustomProperty(document->Model().package, property);
        } catch (const PackageError& error) {
            throw AutomationError(error.what());
        }
    }

    Document document;
};

class AddInsObject : public AutomationObject<AddInsObject> {
public:
    static const MemberTable<AddInsObject>& Members()
    {
        static const MemberTable<AddInsObject> table = {
            {OLESTR("Item"), Kind::Get, &AddInsObject::Item, 1, 1, 0xaa},
            {OLESTR("Count"), Kind::Get, [](AddInsObject&, Call& call) { call.ReturnInt(0); }, 0, 0, 0x76},
        };
        return table;
    }

private:
    // No add-ins are installed in this spreadsheet.
    void Item(Call& call)
    {
        Index index = call.IndexArg(0);
        throw AutomationError(index.byName ? "There is no add-in named '" + call.Utf8(0) + "'"
                                           : "There is no add-in number " + std::to_string(index.number));
    }
};

}  // namespace

ComPtr<IDispatch> MakeCustomProperties(const Document& document)
{
    return MakeObject<PropertiesObject>(document);
}

ComPtr<IDispatch> MakeAddIns()
{
    return MakeObject<AddInsObject>();
}

}  // namespace office::spreadsheet
