#include "tests/word/WordRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "generator/CancelRequested.h"
#include "office/wordprocessor/Registration.h"
#include "tests/generator/DataFiles.h"

namespace {

std::vector<std::string> Lines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return lines;
    std::string text;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, read);
    EXPECT_EQ(pclose(pipe), 0) << command;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

}  // namespace

void WordRun::SetUpTestSuite() {
    RegisterWordProcessorServer();
}

void WordRun::SetUp() {
    CancelRequested = 0;
    char pattern[] = "/tmp/tolvane-word-XXXXXX";
    workFolder = mkdtemp(pattern);
    outputFolder = workFolder + "/out";
    std::filesystem::create_directory(outputFolder);
    setenv("TOLVANE_OUTPUT_DIR", outputFolder.c_str(), 1);
}

void WordRun::TearDown() {
    generator.reset();
    data.reset();
    delete[] progressText;
    CancelRequested = 0;
    std::filesystem::remove_all(workFolder);
}

int32_t WordRun::Run(const std::string& dataFile) {
    bool fromSource = dataFile.find('/') != std::string::npos;
    std::string path = CopyWithPlaceholders(
        fromSource ? SourceFolder() + "/" + dataFile : TestDataPath("word", dataFile), workFolder);
    data = std::make_unique<DataFile>(path.c_str());
    progressText = data->GetMessageText("PROGRESS");
    generator = std::make_unique<WordGenerator>(data->GetRoot(), dialog.Handle(), progressText);
    return generator->Run();
}

std::vector<std::string> WordRun::Documents() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(outputFolder))
        if (entry.path().extension() == ".docx") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> WordRun::ReadDocx(const std::string& mode, const std::string& document) const {
    return Lines("/usr/bin/python3 '" + SourceFolder() + "/tests/e2e/read_docx.py' " + mode + " '" +
                 outputFolder + "/" + document + "'");
}

std::vector<std::string> WordRun::Text(const std::string& document) const { return ReadDocx("text", document); }

std::vector<std::string> WordRun::Fields(const std::string& document) const {
    return ReadDocx("fields", document);
}

std::vector<std::string> WordRun::Rows(const std::string& document) const {
    std::vector<std::string> rows;
    for (const std::string& line : Text(document))
        if (line.find('\t') != std::string::npos) rows.push_back(line);
    return rows;
}

Element* WordRun::Field(uint32_t document, const std::string& name) const {
    Element* documents = ChildByName(data->GetRoot(), "DOCUMENTS");
    return ChildByName(ChildByName(ChildAt(documents, document), "FIELDS"), name.c_str());
}
