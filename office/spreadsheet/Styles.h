// The cell formats of xl/styles.xml: number formats by cell format index, and
// derived cell formats (another number format, no fill, no top border, quote
// prefix) that reuse an identical existing entry when there is one.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace office::spreadsheet {

class Styles {
public:
    Styles();
    void Load(std::string_view xml, const std::string& what);

    std::string NumberFormat(uint32_t xf) const;
    bool IsText(uint32_t xf) const;
    bool IsGeneral(uint32_t xf) const;
    int FillId(uint32_t xf) const;

    uint32_t WithNumberFormat(uint32_t xf, std::string_view code);
    uint32_t WithQuotePrefix(uint32_t xf);
    uint32_t WithoutFill(uint32_t xf);
    uint32_t WithoutTopBorder(uint32_t xf);

    bool Changed() const { return changed; }
    std::string Serialize() const;

private:
    enum class Change { NumberFormat, QuotePrefix, NoFill, NoTopBorder };
    int NumberFormatId(uint32_t xf) const;
    int FormatIdFor(std::string_view code);
    uint32_t Derive(uint32_t xf, Change change, int argument);
    uint32_t Intern(pugi::xml_node candidate);
    int BorderWithoutTop(int borderId);
    static std::string Key(const pugi::xml_node& xf);

    pugi::xml_document document;
    pugi::xml_node cellXfs;
    std::vector<pugi::xml_node> xfs;
    std::unordered_map<int, std::string> customFormats;
    std::unordered_map<std::string, uint32_t> xfByKey;
    std::map<std::tuple<uint32_t, Change, int>, uint32_t> derived;
    std::unordered_map<int, int> bordersWithoutTop;
    bool keysBuilt = false;
    bool changed = false;
};

}  // namespace office::spreadsheet
