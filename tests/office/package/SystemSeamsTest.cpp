// The operating-system seams as both systems must keep them: file names are
// UTF-8 text at the interfaces and any Unicode name on disk, a write never
// replaces a file nor leaves a temporary one, and only regular files are read.
#include "office/package/Package.h"
#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/Presenter.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace office {
namespace {

using testing::MinimalPackage;

// The one place the tests set the environment, which C++ has no call for;
// on Windows it is UTF-16, as a path is.
void SetEnvironment(const std::filesystem::path& name, const std::filesystem::path& value) {
#ifdef _WIN32
    _wputenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// "Überschrift – Δοκιμή 文書": Latin-1, Greek and CJK, so that neither the
// ANSI code page nor a narrow conversion can carry it.
const std::string kUnicodeName = "\xC3\x9C" "berschrift \xE2\x80\x93 \xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE "
                                 "\xE6\x96\x87\xE6\x9B\xB8";

TEST(SystemSeams, UnicodeNamesAreWrittenReadAndNeverReplaced) {
    const auto folder = testing::MakeTempFolder() / PathFromUtf8(kUnicodeName);
    std::filesystem::create_directory(folder);
    const Package package = Package::FromBytes(ZipOfParts(MinimalPackage()), "minimal");
    const auto target = folder / PathFromUtf8(kUnicodeName + ".docx");
    package.SaveAs(target);
    EXPECT_EQ(PathText(target.filename()), kUnicodeName + ".docx");
    EXPECT_EQ(Package::Open(target).Part("main.xml"), package.Part("main.xml"));

    testing::WriteBytes(folder / "taken.docx", "precious");
    try {
        package.SaveAs(folder / "taken.docx");
        ADD_FAILURE() << "an existing file was replaced";
    } catch (const PackageError& error) {
        EXPECT_NE(std::string(error.what()).find(kUnicodeName), std::string::npos) << error.what();
    }
    EXPECT_EQ(testing::ReadBytes(folder / "taken.docx"), "precious");
    EXPECT_EQ(EntriesIn(folder), 2u) << "a temporary file was left behind";
    std::filesystem::remove_all(folder.parent_path());
}

TEST(SystemSeams, FoldersAndMissingFilesAreRefusedNamingThemInUtf8) {
    const auto folder = testing::MakeTempFolder() / PathFromUtf8(kUnicodeName);
    std::filesystem::create_directory(folder);
    const auto refusal = [](const std::filesystem::path& path) -> std::string {
        try {
            ReadPackageFile(path);
            return "";
        } catch (const PackageError& error) {
            return error.what();
        }
    };
    EXPECT_EQ(refusal(folder), "Cannot read '" + PathText(folder) + "': it is not a regular file");
    EXPECT_EQ(refusal(folder / "none.dotx"), "Cannot read '" + PathText(folder / "none.dotx") + "': the file does not exist");
    std::filesystem::remove_all(folder.parent_path());
}

TEST(SystemSeams, ShownDocumentsGoToTheNamedOutputFolderUnderFreeUnicodeNames) {
    const auto root = testing::MakeTempFolder();
    const auto folder = root / PathFromUtf8(kUnicodeName) / "made";
    SetEnvironment("TOLVANE_OUTPUT_DIR", folder);
    SetEnvironment("TOLVANE_OPEN", "0");
    ::testing::internal::CaptureStdout();
    const auto first = PresentDocument(kUnicodeName, "xlsx", "one");
    const auto second = PresentDocument(kUnicodeName, "xlsx", "two");
    const std::string printed = ::testing::internal::GetCapturedStdout();
    SetEnvironment("TOLVANE_OUTPUT_DIR", "");

    EXPECT_EQ(first, folder / PathFromUtf8(kUnicodeName + ".xlsx"));
    EXPECT_EQ(second, folder / PathFromUtf8(kUnicodeName + " (2).xlsx"));
    EXPECT_EQ(printed, PathText(first) + "\n" + PathText(second) + "\n");
    EXPECT_EQ(testing::ReadBytes(second), "two");
    EXPECT_EQ(EntriesIn(folder), 2u);
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace office
