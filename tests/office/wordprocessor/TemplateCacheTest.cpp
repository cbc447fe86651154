#include "office/wordprocessor/WordError.h"
#include "office/wordprocessor/WordTemplate.h"
#include "tests/office/wordprocessor/TemplateBuilder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace word_test {
namespace {

using office::word::TemplateCache;
using office::word::WordError;
namespace fs = std::filesystem;

std::string MainXml(const office::word::WordTemplate& source) {
    std::ostringstream text;
    source.main.save(text);
    return text.str();
}

class TemplateCaching : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder = MakeTempFolder();
    TemplateCache cache;
};

TEST_F(TemplateCaching, ATemplateIsReadOnceForEverySpellingOfItsPath) {
    fs::path path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("First")));
    fs::create_directory(folder / "sub");
    fs::path other = WriteTemplate(folder, "other.dotx", Paragraph(TextField("Other")));

    auto first = cache.Get(path);
    EXPECT_EQ(cache.Get(path), first);
    EXPECT_EQ(cache.Get(folder / "sub" / ".." / "form.dotx"), first);
    EXPECT_NE(cache.Get(other), first);
    EXPECT_EQ(cache.Get(path), first);
}

// A template rewritten between two documents is read again, also when only
// its time changed, and one that went away is refused, not served from memory.
TEST_F(TemplateCaching, AChangedOrVanishedTemplateIsNotServedFromMemory) {
    fs::path path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("Aaaa")));
    auto first = cache.Get(path);

    WriteTemplate(folder, "form.dotx", Paragraph(TextField("Bbbb")));
    auto second = cache.Get(path);
    EXPECT_NE(second, first);
    EXPECT_NE(MainXml(*second).find("Bbbb"), std::string::npos);
    EXPECT_EQ(cache.Get(path), second);

    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::seconds(5));
    EXPECT_NE(cache.Get(path), second);

    fs::remove(path);
    EXPECT_THROW(cache.Get(path), WordError);
    WriteTemplate(folder, "form.dotx", Paragraph(TextField("Cccc")));
    EXPECT_NE(MainXml(*cache.Get(path)).find("Cccc"), std::string::npos);
}

}  // namespace
}  // namespace word_test
