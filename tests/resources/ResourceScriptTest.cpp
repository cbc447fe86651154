// The Windows build compiles its resources from resources/tolvane.rc; the
// Linux build serves ProgramResources(). This reads the script and holds it
// to the table, so the two cannot drift apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/windows.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"

namespace {

std::string ReadScript() {
    const char* source = std::getenv("TOLVANE_SOURCE_DIR");
    std::ifstream file(std::string(source != nullptr ? source : ".") + "/resources/tolvane.rc");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The value of an expression such as "WS_CHILD | WS_VISIBLE" or "IDCANCEL".
long Value(const std::string& expression) {
    static const std::map<std::string, long> names = {
        {"WS_CHILD", WS_CHILD}, {"WS_VISIBLE", WS_VISIBLE}, {"WS_TABSTOP", WS_TABSTOP}, {"WS_GROUP", WS_GROUP},
        {"WS_CAPTION", WS_CAPTION}, {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"SS_CENTER", SS_CENTER},
        {"DS_SETFONT", DS_SETFONT}, {"DS_MODALFRAME", DS_MODALFRAME}, {"DS_3DLOOK", DS_3DLOOK},
        {"DS_CENTER", DS_CENTER}, {"IDCANCEL", IDCANCEL}, {"IDC_STATUS", IDC_STATUS},
        {"IDC_PERCENT", IDC_PERCENT}, {"IDS_APP_TITLE", IDS_APP_TITLE}, {"IDS_WINDOW_CLASS", IDS_WINDOW_CLASS},
    };
    long value = 0;
    std::stringstream parts(expression);
    for (std::string part; std::getline(parts, part, '|');) {
        part = std::regex_replace(part, std::regex("^\\s+|\\s+$"), "");
        const auto name = names.find(part);
        if (name == names.end()) {
            ADD_FAILURE() << "unknown name in the resource script: " << part;
            return -1;
        }
        value |= name->second;
    }
    return value;
}

std::vector<std::smatch> AllMatches(const std::string& text, const std::regex& pattern) {
    return {std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()};
}

TEST(ResourceScript, HoldsTheSameStringsAsTheTable) {
    const std::string script = ReadScript();
    const auto strings = AllMatches(script, std::regex(R"(\n\s*(IDS_\w+)\s+\"([^\"]*)\")"));
    ASSERT_EQ(ProgramResources().strings.size(), strings.size());
    for (const std::smatch& entry : strings) {
        const StringResource* resource = FindStringResource(InstanceOf(ProgramResources()), Value(entry[1]));
        ASSERT_NE(nullptr, resource) << entry[1];
        EXPECT_EQ(resource->text, entry[2].str());
    }
}

TEST(ResourceScript, HoldsTheSameProgressDialog) {
    const std::string script = ReadScript();
    const DialogResource& dialog = *FindDialogResource(InstanceOf(ProgramResources()), IDD_PROGRESS);
    std::smatch header;
    ASSERT_TRUE(std::regex_search(script, header,
                                  std::regex(R"(IDD_PROGRESS DIALOGEX (\d+), (\d+), (\d+), (\d+)\s+STYLE ([^\n]+)\s+)"
                                             R"(CAPTION \"([^\"]*)\"\s+FONT (\d+), \"([^\"]*)\")")));
    EXPECT_EQ((std::vector<long>{dialog.x, dialog.y, dialog.cx, dialog.cy}),
              (std::vector<long>{std::stol(header[1]), std::stol(header[2]), std::stol(header[3]),
                                 std::stol(header[4])}));
    EXPECT_EQ(static_cast<long>(dialog.style), Value(header[5]));
    EXPECT_EQ(dialog.caption, header[6].str());
    EXPECT_EQ(dialog.pointSize, std::stol(header[7]));
    EXPECT_EQ(dialog.fontName, header[8].str());

    const auto controls = AllMatches(
        script, std::regex(R"(CONTROL \"([^\"]*)\", (\w+), \"(\w+)\", ([^,]+), (\d+), (\d+), (\d+), (\d+))"));
    ASSERT_EQ(dialog.items.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const DialogItemResource& item = dialog.items[i];
        const std::smatch& control = controls[i];
        EXPECT_EQ(item.text, control[1].str());
        EXPECT_EQ(item.id, Value(control[2]));
        EXPECT_EQ(item.className, control[3].str());
        EXPECT_EQ(static_cast<long>(item.style), Value(control[4]));
        EXPECT_EQ((std::vector<long>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<long>{std::stol(control[5]), std::stol(control[6]), std::stol(control[7]),
                                     std::stol(control[8])}));
    }
}

TEST(ResourceScript, HoldsTheSameVersion) {
    const std::string script = ReadScript();
    const VersionResource& version = ProgramResources().version;
    for (const auto& [keyword, numbers] : {std::pair{"FILEVERSION", version.fileVersion},
                                           std::pair{"PRODUCTVERSION", version.productVersion}}) {
        std::smatch found;
        ASSERT_TRUE(std::regex_search(script, found, std::regex(std::string(keyword) + R"( (\d+), (\d+), (\d+), (\d+))")));
        for (int part = 0; part < 4; ++part) EXPECT_EQ(numbers[part], std::stol(found[part + 1])) << keyword;
    }
}

}  // namespace
