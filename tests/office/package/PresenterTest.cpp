#include "office/package/PackageError.h"
#include "office/package/Presenter.h"
#include "tests/office/package/ZipFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>

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

    unsetenv("TOLVANE_OUTPUT_DIR");
    std::filesystem::remove_all(folder);
}

TEST(Presenter, AMissingOutputFolderIsMadeWithItsParentsAndOneThatCannotBeIsNamed) {
    auto folder = testing::MakeTempFolder();
    setenv("TOLVANE_OPEN", "0", 1);
    const auto nested = folder / "a" / "b";
    setenv("TOLVANE_OUTPUT_DIR", nested.c_str(), 1);
    mode_t mask = umask(027);
    ::testing::internal::CaptureStdout();
    auto written = PresentDocument("Document1", "docx", "kept");
    ::testing::internal::GetCapturedStdout();
    umask(mask);
    EXPECT_EQ(written, nested / "Document1.docx");
    EXPECT_EQ(testing::ReadBytes(written), "kept");
    struct stat info {};
    ASSERT_EQ(stat((folder / "a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);

    testing::WriteBytes(folder / "plain", "a file");
    for (const auto& blocked : {folder / "plain", folder / "plain" / "sub"}) {
        setenv("TOLVANE_OUTPUT_DIR", blocked.c_str(), 1);
        try {
            PresentDocument("Document2", "docx", "x");
            ADD_FAILURE() << "written below a file";
        } catch (const PackageError& error) {
            EXPECT_NE(std::string(error.what()).find("output folder '" + blocked.string() + "'"), std::string::npos)
                << error.what();
        }
    }
    unsetenv("TOLVANE_OUTPUT_DIR");
    std::filesystem::remove_all(folder);
}

TEST(Presenter, WrittenDocumentsGetTheUsualModeNotAPrivateOne) {
    auto folder = testing::MakeTempFolder();
    setenv("TOLVANE_OUTPUT_DIR", folder.c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    mode_t mask = umask(022);
    ::testing::internal::CaptureStdout();
    auto one = PresentDocument("Document1", "docx", "alone");
    auto many = PresentDocuments({{"Book", "xlsx", "1"}}, [](size_t) {});
    ::testing::internal::GetCapturedStdout();
    umask(mask);

    struct stat info {};
    ASSERT_EQ(stat(one.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(stat(many.at(0).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    unsetenv("TOLVANE_OUTPUT_DIR");
    std::filesystem::remove_all(folder);
}

TEST(Presenter, ManyDocumentsAtOnceGetFreeNamesAndAreReportedInOrder) {
    auto folder = testing::MakeTempFolder();
    setenv("TOLVANE_OUTPUT_DIR", folder.c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    std::vector<size_t> placed;
    ::testing::internal::CaptureStdout();
    auto paths = PresentDocuments({{"Book", "xlsx", "1"}, {"Book", "xlsx", "2"}, {"Other", "docx", "3"}},
                                  [&](size_t i) { placed.push_back(i); });
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(placed, (std::vector<size_t>{0, 1, 2}));
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[1], folder / "Book (2).xlsx");
    EXPECT_EQ(testing::ReadBytes(paths[1]), "2");
    EXPECT_EQ(testing::ReadBytes(folder / "Other.docx"), "3");
    // Only the documents, no temporary files, are left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 3);
    unsetenv("TOLVANE_OUTPUT_DIR");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace office
