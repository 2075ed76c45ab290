// The document utilities on long documents: link removal over a document whose every paragraph holds
// a field (8,000 and 32,000 fields), empty-row removal over tables of 20 rows with 9 of them blank
// (250 and 1,000 tables) and table tidy over small tables with an empty last column or row (1,000
// and 4,000 tables). Each runs at two sizes four times apart, so growth can be read off; each
// iteration works on a freshly opened copy.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "automation/ooxml/application.h"
#include "support/docx_builder.h"
#include "support/recording_host.h"
#include "utilities/utilities.h"

namespace {

using namespace automation;

const std::filesystem::path& fieldsDocument(int paragraphs) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    if (auto it = made.find(paragraphs); it != made.end()) return it->second;
    std::string body;
    for (int i = 0; i < paragraphs; ++i)
        body += "<w:p><w:r><w:t xml:space=\"preserve\">第 " + std::to_string(i + 1) + " 项 </w:t></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> LINK Excel.Sheet.8 "
                "\"book.xls\" \"Sheet1!R1C1\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                "<w:r><w:t>1234.5</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    auto path = dir.file("fields-" + std::to_string(paragraphs) + ".docx");
    gwtest::writeDocx(path, body);
    return made.emplace(paragraphs, path).first->second;
}

// Tables of 20 rows and 3 columns; rows 4, 6, ..., 20 (nine of them) hold only spaces.
const std::filesystem::path& blankRowsDocument(int tables) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    if (auto it = made.find(tables); it != made.end()) return it->second;
    std::string body;
    for (int t = 0; t < tables; ++t) {
        body += gwtest::para("表 " + std::to_string(t + 1)) + "<w:tbl><w:tblPr/><w:tblGrid>" +
                "<w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>";
        for (int r = 1; r <= 20; ++r) {
            const bool blank = r >= 4 && r % 2 == 0;
            body += "<w:tr>";
            for (int c = 1; c <= 3; ++c)
                body += "<w:tc>" + gwtest::para(blank ? " " : std::to_string(r * 10 + c) + ".5") + "</w:tc>";
            body += "</w:tr>";
        }
        body += "</w:tbl>";
    }
    auto path = dir.file("rows-" + std::to_string(tables) + ".docx");
    gwtest::writeDocx(path, body + gwtest::para(""));
    return made.emplace(tables, path).first->second;
}

// Tables of 4 rows and 4 columns; every other one has an empty last column, the others an empty
// last row, so tidy removes one column or one row of each.
const std::filesystem::path& untidyDocument(int tables) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    if (auto it = made.find(tables); it != made.end()) return it->second;
    std::string body;
    for (int t = 0; t < tables; ++t) {
        body += gwtest::para("表 " + std::to_string(t + 1)) + "<w:tbl><w:tblPr/><w:tblGrid>";
        for (int c = 0; c < 4; ++c) body += "<w:gridCol w:w=\"1500\"/>";
        body += "</w:tblGrid>";
        for (int r = 1; r <= 4; ++r) {
            body += "<w:tr>";
            for (int c = 1; c <= 4; ++c) {
                const bool empty = t % 2 == 0 ? c == 4 : r == 4;
                body += "<w:tc>" + gwtest::para(empty ? "" : std::to_string(r * 10 + c)) + "</w:tc>";
            }
            body += "</w:tr>";
        }
        body += "</w:tbl>";
    }
    auto path = dir.file("untidy-" + std::to_string(tables) + ".docx");
    gwtest::writeDocx(path, body + gwtest::para(""));
    return made.emplace(tables, path).first->second;
}

// Times one utility on a freshly opened copy of the document in every iteration.
template <typename Utility>
void timeOnFreshCopies(benchmark::State& state, const std::filesystem::path& path, Utility utility) {
    for (auto _ : state) {
        state.PauseTiming();
        auto word = ooxml::createWord();
        word->Documents()->Open(path.string());
        gwtest::RecordingHost host;
        state.ResumeTiming();
        benchmark::DoNotOptimize(utility(*word, host).count);
    }
}

void BM_UnlinkFields(benchmark::State& state) {
    timeOnFreshCopies(state, fieldsDocument(static_cast<int>(state.range(0))), utilities::unlinkFields);
}

void BM_DeleteEmptyRows(benchmark::State& state) {
    timeOnFreshCopies(state, blankRowsDocument(static_cast<int>(state.range(0))), utilities::deleteEmptyRows);
}

void BM_TidyTables(benchmark::State& state) {
    timeOnFreshCopies(state, untidyDocument(static_cast<int>(state.range(0))),
                      [](Application& word, settings::CommandHost& host) {
                          settings::ProgramState programState;
                          return utilities::tidyTables(word, host, programState);
                      });
}

}  // namespace

BENCHMARK(BM_UnlinkFields)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteEmptyRows)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TidyTables)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
