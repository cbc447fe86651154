#include "office/spreadsheet/Sheet.h"

namespace office::spreadsheet {

uint32_t Sheet::AddFormula(FormulaCell formula)
{
    auto owned = std::make_unique<FormulaCell>(std::move(formula));
    if (!freeFormulas.empty()) {
        uint32_t slot = freeFormulas.back();
        freeFormulas.pop_back();
        formulas[slot] = std::move(owned);
        return slot;
    }
    formulas.push_back(std::move(owned));
    return uint32_t(formulas.size() - 1);
}

void Sheet::RemoveFormula(uint32_t slot)
{
    formulas[slot].reset();
    freeFormulas.push_back(slot);
}

uint32_t Sheet::AddText(std::string text)
{
    texts.push_back(std::move(text));
    return uint32_t(texts.size() - 1);
}

uint32_t Sheet::AddExtra(CellExtra extra)
{
    extras.push_back(std::move(extra));
    return uint32_t(extras.size());
}

void Sheet::ClearValue(Cell& cell)
{
    if (cell.type == Cell::Type::Formula) {
        RemoveFormula(cell.index);
    }
    cell.type = Cell::Type::Blank;
    cell.number = 0;
}

Cell Sheet::CloneCell(const Cell& cell)
{
    Cell copy = cell;
    if (cell.type == Cell::Type::Formula) {
        copy.index = AddFormula(*formulas[cell.index]);
    }
    return copy;
}

}  // namespace office::spreadsheet
