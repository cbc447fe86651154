#include "office/package/PackageError.h"
#include "office/package/Presenter.h"
#include "tests/office/package/ZipFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace office {
namespace {

TEST(Presenter, WritesFreeNamesIntoTheOutputFolderAndPrintsThePaths) {
    auto folder = testing::MakeTempFolder();
    setenv("TOLVANE_OUTPUT_DIR", folder.c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    testing::WriteBytes(folder / "Document1.docx", "older");

    ::testing::internal::CaptureStdout();
    auto first = PresentDocument("Document1", "docx", "new one");
    auto second = PresentDocument("Document1", "docx", "newer");
    std::string printed = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(first, folder / "Document1 (2).docx");
    EXPECT_EQ(second, folder / "Document1 (3).docx");
    EXPECT_EQ(printed, first.string() + "\n" + second.string() + "\n");
    EXPECT_EQ(testing::ReadBytes(folder / "Document1.docx"), "older");
    EXPECT_EQ(testing::ReadBytes(first), "new one");

    setenv("TOLVANE_OUTPUT_DIR", (folder / "missing").c_str(), 1);
    EXPECT_THROW(PresentDocument("Document2", "docx", "x"), PackageError);
    unsetenv("TOLVANE_OUTPUT_DIR");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace office
