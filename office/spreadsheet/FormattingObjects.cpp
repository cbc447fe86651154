// Interior, Borders and Border of a range: the fill and the top edge can be
// cleared, which is what report templates need.
#include "office/dispatch/AutomationObject.h"
#include "office/spreadsheet/Objects.h"
#include "office/spreadsheet/RangeContent.h"

namespace office::spreadsheet {
namespace {

constexpr LONG kNone = -4142;
constexpr LONG kEdgeTop = 8;

struct RangeRef {
    State state;
    TrackedRect tracked;

    Workbook& Model() { return tracked.Document()->Model(); }
    Sheet& SheetModel() { return tracked.Document()->SheetAt(tracked.Sheet()); }
};

class InteriorObject : public AutomationObject<InteriorObject> {
public:
    explicit InteriorObject(RangeRef range) : range(std::move(range)) {}

    static const MemberTable<InteriorObject>& Members()
    {
        static const MemberTable<InteriorObject> table = {
            {OLESTR("ColorIndex"), Kind::Get | Kind::Put, &InteriorObject::ColorIndex, 0, 0, 0x61},
            {OLESTR("Pattern"), Kind::Get, &InteriorObject::Pattern, 0, 0, 0x5f},
        };
        return table;
    }

private:
    void ColorIndex(Call& call)
    {
        Workbook& workbook = range.Model();
        Sheet& sheet = range.SheetModel();
        if (!call.IsPut()) {
            if (HasNoFill(workbook, sheet, range.tracked.Current())) {
                call.ReturnInt(kNone);
            } else {
                VARIANT null;
                VariantInit(&null);
                null.vt = VT_NULL;
                call.ReturnVariant(null);
            }
            return;
        }
        LONG value = call.Value().AsInt();
        if (value != kNone) {
            throw AutomationError("Only ColorIndex = -4142 (no fill) can be set; " + std::to_string(value) +
                                  " is not supported");
        }
        ClearFill(workbook, sheet, range.tracked.Current());
    }

    void Pattern(Call& call)
    {
        call.ReturnInt(HasNoFill(range.Model(), range.SheetModel(), range.tracked.Current()) ? kNone : 1);
    }

    RangeRef range;
};

class BorderObject : public AutomationObject<BorderObject> {
public:
    BorderObject(RangeRef range, LONG edge) : range(std::move(range)), edge(edge) {}

    static const MemberTable<BorderObject>& Members()
    {
        static const MemberTable<BorderObject> table = {
            {OLESTR("LineStyle"), Kind::Get | Kind::Put, &BorderObject::LineStyle},
        };
        return table;
    }

private:
    void LineStyle(Call& call)
    {
        if (!call.IsPut()) {
            throw AutomationError("Reading a border's line style is not supported");
        }
        LONG value = call.Value().AsInt();
        if (value != kNone || edge != kEdgeTop) {
            throw AutomationError("Only the top border (8) can be set, and only to -4142 (none)");
        }
        ClearTopBorder(range.Model(), range.SheetModel(), range.tracked.Current());
    }

    RangeRef range;
    LONG edge;
};

class BordersObject : public AutomationObject<BordersObject> {
public:
    explicit BordersObject(RangeRef range) : range(std::move(range)) {}

    static const MemberTable<BordersObject>& Members()
    {
        static const MemberTable<BordersObject> table = {
            {OLESTR("Item"), Kind::Get, &BordersObject::Item, 1, 1, 0xaa},
            {OLESTR("Count"), Kind::Get, [](BordersObject&, Call& call) { call.ReturnInt(6); }, 0, 0, 0x76},
        };
        return table;
    }

private:
    void Item(Call& call)
    {
        LONG edge = call.Int(0);
        if (edge < 5 || edge > 12) {
            throw AutomationError("There is no border number " + std::to_string(edge));
        }
        call.ReturnObject(MakeObject<BorderObject>(range, edge));
    }

    RangeRef range;
};

}  // namespace

ComPtr<IDispatch> MakeInterior(const State& state, const Document& document, int32_t sheet, CellRect rect)
{
    return MakeObject<InteriorObject>(RangeRef{state, TrackedRect(document, sheet, rect)});
}

ComPtr<IDispatch> MakeBorders(const State& state, const Document& document, int32_t sheet, CellRect rect)
{
    return MakeObject<BordersObject>(RangeRef{state, TrackedRect(document, sheet, rect)});
}

}  // namespace office::spreadsheet
