#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <set>
#include <string>

#include "platform/win32/windows.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"

namespace {

const HINSTANCE instance = InstanceOf(ProgramResources());

TEST(Resources, StringsHoldTheTitleAndTheClassName) {
    char buffer[100];
    EXPECT_EQ(7, LoadStringA(instance, IDS_APP_TITLE, buffer, sizeof buffer));
    EXPECT_STREQ("Tolvane", buffer);
    EXPECT_EQ(7, LoadStringA(instance, IDS_WINDOW_CLASS, buffer, sizeof buffer));
    EXPECT_STREQ("TOLVANE", buffer);
    EXPECT_EQ(3, LoadStringA(instance, IDS_APP_TITLE, buffer, 4));
    EXPECT_STREQ("Tol", buffer);
    EXPECT_EQ(0, LoadStringA(instance, 101, buffer, sizeof buffer));
}

TEST(Resources, IconHasA16And32PixelImageIn16Colours) {
    EXPECT_NE(nullptr, LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_ICON)));
    EXPECT_EQ(nullptr, LoadIconA(instance, MAKEINTRESOURCEA(103)));
    const auto images = AppIconImages();
    ASSERT_EQ(2u, images.size());
    EXPECT_EQ(16, images[0].width);
    EXPECT_EQ(32, images[1].width);
    for (const IconImageResource& image : images) {
        EXPECT_EQ(image.width, image.height);
        std::set<char> used;
        for (int row = 0; row < image.height; ++row) {
            const std::string pixels = image.rows[row];
            ASSERT_EQ(static_cast<size_t>(image.width), pixels.size()) << "row " << row;
            for (char c : pixels) {
                ASSERT_TRUE(c == '.' || std::isxdigit(static_cast<unsigned char>(c))) << c;
                used.insert(c);
            }
        }
        EXPECT_GE(used.size(), 5u) << "a drawing, not a blank";
    }
}

TEST(Resources, ProgressDialogHasTheGeometryStylesAndControls) {
    const DialogResource* dialog = FindDialogResource(instance, IDD_PROGRESS);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(214, dialog->cx);
    EXPECT_EQ(70, dialog->cy);
    EXPECT_STREQ("Tolvane", dialog->caption);
    EXPECT_STREQ("MS Sans Serif", dialog->fontName);
    EXPECT_EQ(8, dialog->pointSize);
    const DWORD expected = WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | DS_SETFONT;
    EXPECT_EQ(expected, dialog->style);
    EXPECT_EQ(0u, dialog->style & WS_SYSMENU) << "no system menu, so no close box";

    ASSERT_EQ(3u, dialog->items.size());
    const DialogItemResource& cancel = dialog->items[0];
    EXPECT_STREQ("Button", cancel.className);
    EXPECT_EQ(IDCANCEL, cancel.id);
    EXPECT_EQ((std::array<short, 4>{81, 47, 50, 14}), (std::array<short, 4>{cancel.x, cancel.y, cancel.cx, cancel.cy}));
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP), cancel.style);
    EXPECT_STREQ("Cancel", cancel.text);

    const DialogItemResource& status = dialog->items[1];
    EXPECT_EQ(IDC_STATUS, status.id);
    EXPECT_EQ((std::array<short, 4>{11, 12, 191, 14}), (std::array<short, 4>{status.x, status.y, status.cx, status.cy}));
    EXPECT_STREQ("Progress", status.text);
    const DialogItemResource& percent = dialog->items[2];
    EXPECT_EQ(IDC_PERCENT, percent.id);
    EXPECT_EQ((std::array<short, 4>{11, 28, 191, 14}), (std::array<short, 4>{percent.x, percent.y, percent.cx, percent.cy}));
    EXPECT_STREQ("0%", percent.text);
    for (const DialogItemResource* text : {&status, &percent}) {
        EXPECT_STREQ("Static", text->className);
        EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER), text->style);
    }
}

TEST(Resources, VersionIs1150) {
    const VersionResource& version = ProgramResources().version;
    EXPECT_EQ((std::array<WORD, 4>{1, 1, 5, 0}), std::to_array(version.fileVersion));
    EXPECT_EQ((std::array<WORD, 4>{1, 1, 5, 0}), std::to_array(version.productVersion));
}

}  // namespace
