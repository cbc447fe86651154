#include "DataFileWriter.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

// A fixed seed: every run measures the same files.
class Values {
public:
    uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    const char* Pick(const char* const* list, size_t count) { return list[Next() % count]; }
    std::string Number(uint32_t limit) { return std::to_string(Next() % limit); }

private:
    uint32_t state = 12345;
};

const char* const names[] = {"Sample customer", "Nordic Timber &amp; Co", "M\xC3\xBCller GmbH", "A. Smith",
                             "Caf\xC3\xA9 Lumi\xC3\xA8re", "\xE6\x9D\xB1\xE4\xBA\xAC Trading", "Oak Street Bakery"};
const char* const items[] = {"A-100", "A-200", "B-300", "C-4711", "Widget, large", "Bolt M8 x 40"};
const char* const regions[] = {"North", "South", "East", "West"};
const char* const notes[] = {
    "Deliver to the back door; ring twice.",
    "Price includes freight &lt;= 50 km.",
    "",
    "Paid in advance",
    "Line one of a longer note that the producing application writes as it stands, with no trimming.",
};

void WriteHeader(std::ofstream& out)
{
    out << "<?xml version='1.0' encoding='UTF-8'?>\n<export>\n  <META>\n"
           "    <TEMPLATE TYPE='2'>C:\\Templates\\report.xlt</TEMPLATE>\n"
           "    <TITLE>Creating workbook</TITLE>\n    <CANCEL>Stop</CANCEL>\n"
           "    <INITIALIZE>Starting the spreadsheet</INITIALIZE>\n"
           "    <PROGRESS>Filling %1$s</PROGRESS>\n"
           "    <ERRORWORD>The workbook is incomplete</ERRORWORD>\n  </META>\n  <DOCUMENTS>\n";
}

void WriteRecordField(std::ofstream& out, Values& values, const char* name, int records, bool grouping)
{
    out << "        <" << name << " NUMRECORDS='" << records << "'" << (grouping ? "" : " GROUPBY='0'") << ">";
    for (int r = 0; r < records; ++r) {
        out << "<v>";
        if (grouping)
            out << values.Pick(regions, std::size(regions));
        else if (name[0] == 'A')
            out << values.Number(100000) << "." << values.Number(100);
        else
            out << values.Pick(items, std::size(items));
        out << "</v>";
    }
    out << "</" << name << ">\n";
}

void WriteDocument(std::ofstream& out, Values& values, size_t number)
{
    out << "    <doc" << number << ">\n"
        << "      <SQL>SELECT region, item, amount FROM orders WHERE customer = " << values.Number(100000)
        << " AND date &gt;= '2004-05-01'</SQL>\n      <FIELDS>\n"
        << "        <CustomerName>" << values.Pick(names, std::size(names)) << "</CustomerName>\n"
        << "        <CustomerNumber>" << values.Number(1000000) << "</CustomerNumber>\n"
        << "        <ReportDate>2004-05-" << 10 + values.Next() % 20 << "</ReportDate>\n"
        << "        <Note><v>" << values.Pick(notes, std::size(notes)) << "</v></Note>\n";
    int records = 1 + static_cast<int>(values.Next() % 20);
    WriteRecordField(out, values, "Region", records, true);
    WriteRecordField(out, values, "ItemCode", records, false);
    WriteRecordField(out, values, "Amount", records, false);
    out << "      </FIELDS>\n    </doc" << number << ">\n";
}

} // namespace

size_t WriteDataFile(const std::string& path, size_t targetBytes)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    Values values;
    WriteHeader(out);
    for (size_t number = 1; static_cast<size_t>(out.tellp()) < targetBytes; ++number)
        WriteDocument(out, values, number);
    out << "  </DOCUMENTS>\n</export>\n";
    size_t size = static_cast<size_t>(out.tellp());
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return size;
}

void WriteLongTextFile(const std::string& path, size_t textBytes)
{
    std::ofstream out(path, std::ios::binary);
    std::string line(99, 'a');
    line += '\n';
    out << "<export><META><TEMPLATE TYPE='2'>t</TEMPLATE></META><DOCUMENTS><doc><FIELDS><Note>";
    for (size_t written = 0; written < textBytes; written += line.size())
        out << line;
    out << "</Note></FIELDS></doc></DOCUMENTS></export>\n";
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void WriteEntityExpansionFile(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version='1.0'?>\n<!DOCTYPE export [\n<!ENTITY a0 'laugh laugh laugh laugh laugh'>\n";
    for (int i = 1; i <= 12; ++i) {
        out << "<!ENTITY a" << i << " '";
        for (int k = 0; k < 10; ++k)
            out << "&a" << i - 1 << ";";
        out << "'>\n";
    }
    out << "]>\n<export><META><TITLE>&a12;</TITLE></META></export>\n";
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
