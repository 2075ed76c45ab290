// The document utilities on long documents: link removal over a document whose every paragraph holds
// a field (8,000 and 32,000 fields), empty-row removal over tables of 20 rows with 9 of them blank
// (250 and 1,000 tables) and table tidy over small tables with an empty last column or row (1,000
// and 4,000 tables). Each runs at two sizes four times apart, so growth can be read off; each
// iteration works on a freshly opened copy.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>

#include "bench/fresh_copies.h"
#include "support/docx_builder.h"
#include "utilities/utilities.h"

namespace {

using namespace automation;

// Every paragraph holds a LINK field.
std::string fieldParagraphs(int paragraphs) {
    std::string body;
    for (int i = 0; i < paragraphs; ++i)
        body += "<w:p><w:r><w:t xml:space=\"preserve\">第 " + std::to_string(i + 1) +
                " 项 </w:t></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> LINK Excel.Sheet.8 "
                "\"book.xls\" \"Sheet1!R1C1\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                "<w:r><w:t>1234.5</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    return body;
}

// Tables of rows x columns after a paragraph each; blank(t, r, c) tells which cells hold no number.
std::string tables(int count, int rows, int columns, const std::string& blankText,
                   const std::function<bool(int, int, int)>& blank) {
    std::string body;
    for (int t = 0; t < count; ++t) {
        body += gwtest::para("表 " + std::to_string(t + 1)) + "<w:tbl><w:tblPr/><w:tblGrid>";
        for (int c = 0; c < columns; ++c) body += "<w:gridCol w:w=\"1500\"/>";
        body += "</w:tblGrid>";
        for (int r = 1; r <= rows; ++r) {
            body += "<w:tr>";
            for (int c = 1; c <= columns; ++c)
                body +=
                    "<w:tc>" + gwtest::para(blank(t, r, c) ? blankText : std::to_string(r * 10 + c) + ".5") + "</w:tc>";
            body += "</w:tr>";
        }
        body += "</w:tbl>";
    }
    return body + gwtest::para("");
}

const std::filesystem::path& fieldsDocument(int paragraphs) {
    return gwbench::madeOnce("fields", paragraphs, fieldParagraphs);
}

// Tables of 20 rows and 3 columns; rows 4, 6, ..., 20 (nine of them) hold only spaces.
const std::filesystem::path& blankRowsDocument(int count) {
    return gwbench::madeOnce("rows", count, [](int n) {
        return tables(n, 20, 3, " ", [](int, int r, int) { return r >= 4 && r % 2 == 0; });
    });
}

// Tables of 4 rows and 4 columns; every other one has an empty last column, the others an empty
// last row, so tidy removes one column or one row of each.
const std::filesystem::path& untidyDocument(int count) {
    return gwbench::madeOnce("untidy", count, [](int n) {
        return tables(n, 4, 4, "", [](int t, int r, int c) { return t % 2 == 0 ? c == 4 : r == 4; });
    });
}

using gwbench::timeOnFreshCopies;

void BM_UnlinkFields(benchmark::State& state) {
    timeOnFreshCopies(state, fieldsDocument(static_cast<int>(state.range(0))), utilities::unlinkFields);
}

void BM_DeleteEmptyRows(benchmark::State& state) {
    timeOnFreshCopies(state, blankRowsDocument(static_cast<int>(state.range(0))), utilities::deleteEmptyRows);
}

void BM_TidyTables(benchmark::State& state) {
    timeOnFreshCopies(state, untidyDocument(static_cast<int>(state.range(0))), utilities::tidyTables);
}

}  // namespace

BENCHMARK(BM_UnlinkFields)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteEmptyRows)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TidyTables)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
