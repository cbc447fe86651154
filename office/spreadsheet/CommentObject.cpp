// A cell comment: its text as the legacy comment part holds it.
#include "office/dispatch/AutomationObject.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

class CommentObject : public AutomationObject<CommentObject> {
public:
    explicit CommentObject(std::string text) : text(std::move(text)) {}

    static const MemberTable<CommentObject>& Members()
    {
        static const MemberTable<CommentObject> table = {
            {OLESTR("Text"), Kind::Method, &CommentObject::Text, 0, 3},
        };
        return table;
    }

private:
    // Text(Text, Start, Overwrite): without arguments it only reads.
    void Text(Call& call)
    {
        if (call.Has(0)) {
            throw AutomationError("Changing a comment's text is not supported");
        }
        call.ReturnUtf8(text);
    }

    std::string text;
};

}  // namespace

ComPtr<IDispatch> MakeComment(std::string text)
{
    return MakeObject<CommentObject>(std::move(text));
}

}  // namespace office::spreadsheet
