#include "office/spreadsheet/SheetHyperlinks.h"

namespace office::spreadsheet {

void SheetHyperlinks::Add(pugi::xml_node element, const CellRect& rect)
{
    elements.push_back(element);
    rects.Add(rect);
}

std::vector<SheetHyperlinks::Link> SheetHyperlinks::Within(int32_t top, int32_t bottom) const
{
    std::vector<Link> found;
    for (const RowRects::Numbered& entry : rects.NumberedWithin(top, bottom)) {
        found.push_back(Link{elements[entry.number], entry.rect});
    }
    return found;
}

void SheetHyperlinks::Write()
{
    if (elements.empty()) {
        return;
    }
    std::vector<CellRect> now = rects.All();
    for (size_t i = 0; i < elements.size(); ++i) {
        pugi::xml_attribute ref = elements[i].attribute("ref");
        std::string text = FormatRectList({now[i]});
        if (text != ref.value()) {
            ref.set_value(text.c_str());
        }
    }
}

}  // namespace office::spreadsheet
