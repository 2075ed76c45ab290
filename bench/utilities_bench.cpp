// The document utilities on long documents: link removal over a document whose every paragraph holds
// a field, and empty-row removal over tables with every other row blank. Runs at two sizes, so growth
// can be read off; each iteration works on a freshly opened copy.
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

const std::filesystem::path& blankRowsDocument(int rows) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    if (auto it = made.find(rows); it != made.end()) return it->second;
    std::string table = "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>";
    for (int r = 1; r <= rows; ++r) {
        const bool blank = r > 2 && r % 2 == 1;
        table += "<w:tr>";
        for (int c = 1; c <= 2; ++c)
            table += "<w:tc>" + gwtest::para(blank ? " " : std::to_string(r * 10 + c) + ".5") + "</w:tc>";
        table += "</w:tr>";
    }
    auto path = dir.file("rows-" + std::to_string(rows) + ".docx");
    gwtest::writeDocx(path, table + "</w:tbl>" + gwtest::para(""));
    return made.emplace(rows, path).first->second;
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

}  // namespace

BENCHMARK(BM_UnlinkFields)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteEmptyRows)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);
