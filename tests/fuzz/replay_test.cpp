// The inputs the fuzzers found faults with, kept under tests/data/fuzz/TARGET/: each must now be
// handled as fuzz/inputs.h demands (refused or used; no crash, sanitizer report or broken promise).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "fuzz/inputs.h"
#include "support/sheet_docs.h"

namespace fs = std::filesystem;

namespace {

const fs::path kKept = fs::path(GRIDWRIGHT_SOURCE_DIR) / "tests" / "data" / "fuzz";

TEST(FuzzInputs, EveryKeptInputIsHandled) {
    std::set<std::string> names;
    for (const fuzz::Target& target : fuzz::targets()) {
        names.insert(target.name);
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(kKept / target.name, ec)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            SCOPED_TRACE(file.string());
            target.run(gwtest::fileBytes(file));
        }
    }
    // A folder no target reads would keep its inputs from ever being replayed.
    for (const auto& entry : fs::directory_iterator(kKept))
        EXPECT_TRUE(entry.path().filename() == "README.md" || names.count(entry.path().filename().string()))
            << entry.path();
}

}  // namespace
