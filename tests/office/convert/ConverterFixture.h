// A fake LibreOffice on the PATH and a private cache folder, for the tests
// of template conversion; the environment is restored afterwards.
#pragma once

#include "office/convert/LegacyConversion.h"
#include "office/package/PackageError.h"
#include "tests/office/convert/CompoundFile.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Stands in for LibreOffice: notes its arguments, then does what the test asks.
const char kFakeConverter[] = R"(#!/bin/sh
echo "$@" >> "$FAKE_CALLS"
for last; do :; done
base=$(basename "$last")
prev=
for a; do
  [ "$prev" = --outdir ] && out=$a
  [ "$prev" = --convert-to ] && to=${a%%:*}
  prev=$a
done
case "$FAKE_MODE" in
  copy) cp "$FAKE_RESULT" "$out/${base%.*}.$to"; exit 0 ;;
  fail) echo "Error: source file could not be loaded"; exit 1 ;;
  hang) sleep 60 ;;
esac
printf 'converted %s' "$base" > "$out/${base%.*}.$to"
)";

inline std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ConverterFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(bin);
        fs::create_directories(cache);
        WriteFile(bin / "soffice", kFakeConverter);
        fs::permissions(bin / "soffice", fs::perms::owner_all);
        for (const char* name : {"PATH", "XDG_CACHE_HOME", "FAKE_CALLS", "FAKE_MODE", "FAKE_RESULT", "TOLVANE_CONVERT_TIMEOUT"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
        setenv("XDG_CACHE_HOME", cache.c_str(), 1);
        setenv("FAKE_CALLS", calls.c_str(), 1);
        unsetenv("FAKE_MODE");
        unsetenv("TOLVANE_CONVERT_TIMEOUT");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) setenv(name, value->c_str(), 1);
            else unsetenv(name);
        }
        fs::remove_all(folder);
    }

    // No soffice anywhere on the PATH.
    void WithoutConverter() { setenv("PATH", (folder / "nothing").c_str(), 1); }

    std::vector<std::string> Calls() {
        std::istringstream lines(Read(calls));
        std::vector<std::string> result;
        for (std::string line; std::getline(lines, line);) result.push_back(line);
        return result;
    }

    std::string Refusal(const fs::path& path, office::LegacyKind kind) {
        try {
            office::OoxmlTemplateFor(path, kind);
        } catch (const office::PackageError& error) {
            return error.what();
        }
        return "accepted";
    }

    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    fs::path folder = MakeTempFolder();
    fs::path bin = folder / "bin";
    fs::path cache = folder / "cache";
    fs::path calls = folder / "calls";
};

