// The embedded Word on a large document: open, a walk over every table, borders on every table,
// save. Each case runs for 250 and 1,000 tables of 20 rows x 6 columns, so growth can be read off.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "automation/ooxml/application.h"
#include "support/docx_builder.h"

namespace {

using namespace automation;

// One document per table count, written once and kept for the whole benchmark program.
const std::filesystem::path& documentWith(int tables) {
    static gwtest::TempDir dir;
    static std::map<int, std::filesystem::path> made;
    auto it = made.find(tables);
    if (it != made.end()) return it->second;
    std::string body;
    body.reserve(static_cast<size_t>(tables) * 20 * 6 * 120);
    for (int t = 0; t < tables; ++t) {
        body += gwtest::para("表 " + std::to_string(t + 1) + " 2025年度数据，金额 1234567.89 元。");
        body += gwtest::table(
            20, 6,
            "<w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/></w:tblBorders>");
    }
    body += gwtest::para("完");
    auto path = dir.file("tables-" + std::to_string(tables) + ".docx");
    gwtest::writeDocx(path, body);
    return made.emplace(tables, path).first->second;
}

void BM_Open(benchmark::State& state) {
    const auto& path = documentWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto word = ooxml::createWord();
        auto doc = word->Documents()->Open(path.string());
        benchmark::DoNotOptimize(doc->Tables()->Count());
    }
}

// Each iteration works on a freshly opened document, so nothing built by an earlier walk is reused.
void BM_WalkTables(benchmark::State& state) {
    const auto& path = documentWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto word = ooxml::createWord();
        auto doc = word->Documents()->Open(path.string());
        doc->Tables()->Count();  // the position index is built here, outside the timing
        state.ResumeTiming();
        long sum = 0;
        const int count = doc->Tables()->Count();
        for (int i = 1; i <= count; ++i) {
            auto table = doc->Tables()->Item(i);
            table->Select();
            sum += table->Cell(1, 1)->Range()->Start();
            sum += table->Cell(20, 6)->Range()->End();
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_BordersOnEveryTable(benchmark::State& state) {
    const auto& path = documentWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto word = ooxml::createWord();
        auto doc = word->Documents()->Open(path.string());
        doc->Tables()->Count();
        state.ResumeTiming();
        const int count = doc->Tables()->Count();
        for (int i = 1; i <= count; ++i) {
            doc->Tables()->Item(i)->Select();
            auto borders = word->Selection()->Borders();
            for (int edge = wdBorderTop; edge >= wdBorderVertical; --edge) {
                borders->Item(edge)->SetLineStyle(wdLineStyleSingle);
                borders->Item(edge)->SetLineWidth(wdLineWidth100pt);
            }
        }
    }
}

void BM_Save(benchmark::State& state) {
    gwtest::TempDir out;
    auto word = ooxml::createWord();
    auto doc = word->Documents()->Open(documentWith(static_cast<int>(state.range(0))).string());
    doc->Tables()->Item(1)->Select();
    word->Selection()->Font()->SetSize(10.5f);  // a change, so the main part is written anew
    for (auto _ : state) doc->SaveAs(out.file("saved.docx").string());
}

}  // namespace

BENCHMARK(BM_Open)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkTables)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BordersOnEveryTable)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
