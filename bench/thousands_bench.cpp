// The thousands-separator step on a long document: 2.5 numbers a paragraph, each "1234567.89" written
// as two runs ("1234" and a bold "567.89"). Runs for 5,000 and 20,000 paragraphs (12,500 and 50,000
// numbers), so growth can be read off: one whole step, and one find-only pass that steps through every
// number. And one number whose integer part is a run of 50,000 or 200,000 digits.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "automation/ooxml/application.h"
#include "engine/thousands_separators.h"
#include "support/docx_builder.h"

namespace {

using namespace automation;

const std::string kNumber = "<w:r><w:t>1234</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>567.89</w:t></w:r>";

std::string plain(const std::string& text) { return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>"; }

const std::filesystem::path& numbersDocument(int paragraphs) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    auto it = made.find(paragraphs);
    if (it != made.end()) return it->second;
    std::string body;
    body.reserve(static_cast<size_t>(paragraphs) * 400);
    for (int i = 0; i < paragraphs; ++i) {
        body += "<w:p>" + plain("第 " + std::to_string(i + 1) + " 项收入 ") + kNumber + plain(" 元，支出 ") + kNumber;
        if (i % 2 == 0) body += plain(" 元，结余 ") + kNumber;
        body += plain(" 元。") + "</w:p>";
    }
    auto path = dir.file("numbers-" + std::to_string(paragraphs) + ".docx");
    gwtest::writeDocx(path, body);
    return made.emplace(paragraphs, path).first->second;
}

// Times the whole step on a freshly opened copy of the document in every iteration.
void timeStep(benchmark::State& state, const std::filesystem::path& path) {
    auto word = ooxml::createWord();
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = word->Documents()->Open(path.string());
        state.ResumeTiming();
        engine::addThousandsSeparators(*word);
        state.PauseTiming();
        doc->Close(wdDoNotSaveChanges);
        state.ResumeTiming();
    }
}

void BM_ThousandsSeparators(benchmark::State& state) {
    timeStep(state, numbersDocument(static_cast<int>(state.range(0))));
}

const std::filesystem::path& longNumberDocument(int digits) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    auto it = made.find(digits);
    if (it != made.end()) return it->second;
    auto path = dir.file("long-" + std::to_string(digits) + ".docx");
    gwtest::writeDocx(path,
                      "<w:p>" + plain("合计 " + std::string(static_cast<size_t>(digits), '7') + ".5 元") + "</w:p>");
    return made.emplace(digits, path).first->second;
}

void BM_ThousandsSeparatorsLongNumber(benchmark::State& state) {
    timeStep(state, longNumberDocument(static_cast<int>(state.range(0))));
}

void BM_FindEveryNumber(benchmark::State& state) {
    auto word = ooxml::createWord();
    auto doc = word->Documents()->Open(numbersDocument(static_cast<int>(state.range(0))).string());
    long found = 0;
    for (auto _ : state) {
        auto find = doc->Range()->Find();
        find->SetMatchWildcards(true);
        FindExecuteArgs args;
        args.FindText = "([0-9])([0-9]{3})([.,])";
        while (find->Execute(args)) ++found;
    }
    state.counters["matches"] = benchmark::Counter(static_cast<double>(found), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_ThousandsSeparators)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandsSeparatorsLongNumber)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindEveryNumber)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
