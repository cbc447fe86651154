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
    std::shared_ptr<const office::word::WordTemplate> Get(const fs::path& path) {
        return cache.Get(path, office::word::LoadWordTemplate);
    }
    fs::path folder = MakeTempFolder();
    TemplateCache cache;
};

TEST_F(TemplateCaching, ATemplateIsReadOnceForEverySpellingOfItsPath) {
    fs::path path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("First")));
    fs::create_directory(folder / "sub");
    fs::path other = WriteTemplate(folder, "other.dotx", Paragraph(TextField("Other")));

    auto first = Get(path);
    EXPECT_EQ(Get(path), first);
    EXPECT_EQ(Get(folder / "sub" / ".." / "form.dotx"), first);
    EXPECT_NE(Get(other), first);
    EXPECT_EQ(Get(path), first);
}

// A template rewritten between two documents is read again, also when only
// its time changed, and one that went away is refused, not served from memory.
TEST_F(TemplateCaching, AChangedOrVanishedTemplateIsNotServedFromMemory) {
    fs::path path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("Aaaa")));
    auto first = Get(path);

    WriteTemplate(folder, "form.dotx", Paragraph(TextField("Bbbb")));
    auto second = Get(path);
    EXPECT_NE(second, first);
    EXPECT_NE(MainXml(*second).find("Bbbb"), std::string::npos);
    EXPECT_EQ(Get(path), second);

    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::seconds(5));
    EXPECT_NE(Get(path), second);

    fs::remove(path);
    EXPECT_THROW(Get(path), WordError);
    WriteTemplate(folder, "form.dotx", Paragraph(TextField("Cccc")));
    EXPECT_NE(MainXml(*Get(path)).find("Cccc"), std::string::npos);
}

}  // namespace
}  // namespace word_test
