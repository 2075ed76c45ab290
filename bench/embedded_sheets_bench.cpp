// Converting embedded worksheets: ten long worksheets in a document (the embedded Excel reads, fits and
// copies each, the embedded Word pastes it), ten small ones in a long document, and twelve small ones
// before many pictures (the run counts the worksheets left behind its tenth attempt). Two sizes each, so
// growth can be read off; each iteration converts a freshly opened copy.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "bench/fresh_copies.h"
#include "support/sheet_docs.h"
#include "utilities/utilities.h"

namespace {

using namespace automation;

// A document of `paragraphs` paragraphs with ten objects of rows-`rows`.xls spread through it.
const std::filesystem::path& sheetsDocument(int rows, int paragraphs) {
    static gwtest::TempDir dir;
    static std::map<std::pair<int, int>, std::filesystem::path> made;
    if (auto it = made.find({rows, paragraphs}); it != made.end()) return it->second;
    const std::string script = std::string(GRIDWRIGHT_SOURCE_DIR) + "/tests/tools/make_workbooks.py";
    const std::string command = "/usr/bin/python3 " + script + " " + dir.path().string() + " " + std::to_string(rows);
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot write the workbook with xlwt");
    const std::string workbook = gwtest::fileBytes(dir.file("rows-" + std::to_string(rows) + ".xls"));
    gwtest::SheetDocument doc;
    for (int i = 0; i < paragraphs; ++i) {
        doc.text("第 " + std::to_string(i + 1) + " 段正文，说明下面的表格。");
        if (i % (paragraphs / 10) == 0) doc.object(workbook);
    }
    auto path = dir.file("sheets-" + std::to_string(rows) + "-" + std::to_string(paragraphs) + ".docx");
    gwtest::writeDocx(path, doc.docx());
    return made.emplace(std::make_pair(rows, paragraphs), path).first->second;
}

// Twelve objects of rows-20.xls, then `pictures` inline pictures.
const std::filesystem::path& picturesDocument(int pictures) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    if (auto it = made.find(pictures); it != made.end()) return it->second;
    const std::string workbook = gwtest::fileBytes(sheetsDocument(20, 10).parent_path() / "rows-20.xls");
    gwtest::SheetDocument doc;
    for (int i = 0; i < 12; ++i) doc.object(workbook);
    for (int i = 0; i < pictures; ++i) doc.picture();
    auto path = dir.file("pictures-" + std::to_string(pictures) + ".docx");
    gwtest::writeDocx(path, doc.docx());
    return made.emplace(pictures, path).first->second;
}

void convert(benchmark::State& state, const std::filesystem::path& document) {
    gwbench::timeOnFreshCopies(state, document, [](ooxml::WordApplication& word, commands::CommandHost& host) {
        return utilities::convertEmbeddedSheets(word, *word.excel(), host);
    });
}

void BM_ConvertLongWorksheets(benchmark::State& state) {
    convert(state, sheetsDocument(static_cast<int>(state.range(0)), 10));
}
void BM_ConvertInLongDocument(benchmark::State& state) {
    convert(state, sheetsDocument(20, static_cast<int>(state.range(0))));
}
void BM_ConvertBeforeManyPictures(benchmark::State& state) {
    convert(state, picturesDocument(static_cast<int>(state.range(0))));
}

}  // namespace

BENCHMARK(BM_ConvertLongWorksheets)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertInLongDocument)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertBeforeManyPictures)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);
