// Every command on the two shapes that make a command quadratic when it walks the wrong way: one long
// table (2,000 and 8,000 rows of 4 columns, every third row blank, a LINK field in every tenth) and
// many small tables (2,500 and 10,000 tables of 4 x 4 after a caption holding a number and a LINK
// field; every other table ends in an empty column, the others in a blank row). Each size is four
// times the one before: a command that stays linear costs at most about four times as much.
//
// CPU time of one iteration on the shared 2-core machine, Release build, before and after the grid
// kept across row deletions (automation/ooxml/table_grid.h), the halving search for a paragraph's
// tables and the section of every body element noted once (with or without a w:sectPr of the body):
//   onLongTable/deleteEmptyRows   2,000 rows 845 ms -> 9 ms;       8,000 rows 16.5 s -> 50 ms
//   onManyTables/body             2,500 tables 515 ms -> 40 ms;    10,000 tables 15.0 s -> 162 ms
//   onManyTables/format           2,500 tables 497 ms -> 178 ms;   10,000 tables 25.2 s -> 643 ms
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>

#include "bench/fresh_copies.h"
#include "bodytext/body_text.h"
#include "engine/format_run.h"
#include "engine/thousands_separators.h"
#include "settings/format_settings.h"
#include "support/docx_builder.h"
#include "utilities/utilities.h"

namespace {

using namespace automation;

std::string linkField(const std::string& result) {
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> LINK Excel.Sheet.8 \"book.xls\" "
           "\"Sheet1!R1C1\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>" +
           result + "</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

std::string cellWith(const std::string& runs) { return "<w:tc><w:p>" + runs + "</w:p></w:tc>"; }
std::string textRun(const std::string& text) { return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>"; }

const std::string kTableStart =
    "<w:tbl><w:tblPr><w:tblBorders><w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/>"
    "</w:tblBorders></w:tblPr><w:tblGrid><w:gridCol w:w=\"1500\"/><w:gridCol w:w=\"1500\"/><w:gridCol "
    "w:w=\"1500\"/><w:gridCol w:w=\"1500\"/></w:tblGrid>";

std::string longTable(int rows) {
    std::string body = gwtest::para("正文 12345.67 元") + kTableStart;
    body.reserve(static_cast<std::size_t>(rows) * 400);
    for (int r = 1; r <= rows; ++r) {
        body += "<w:tr>";
        for (int c = 1; c <= 4; ++c) {
            if (r >= 3 && r % 3 == 0)
                body += cellWith(textRun(" "));
            else if (c == 1 && r % 10 == 1)
                body += cellWith(linkField(std::to_string(r * 1000 + c) + ".5"));
            else
                body += cellWith(textRun(std::to_string(r * 1000 + c) + ".5"));
        }
        body += "</w:tr>";
    }
    return body + "</w:tbl>" + gwtest::para("结尾");
}

std::string manyTables(int count) {
    std::string body;
    body.reserve(static_cast<std::size_t>(count) * 2000);
    for (int t = 0; t < count; ++t) {
        body += "<w:p>" + textRun("表 " + std::to_string(t + 1) + " 合计 ") + linkField("12345.5") + "</w:p>";
        body += kTableStart;
        for (int r = 1; r <= 4; ++r) {
            body += "<w:tr>";
            for (int c = 1; c <= 4; ++c) {
                const bool empty = t % 2 == 0 ? c == 4 : r == 4;
                body += empty ? "<w:tc><w:p/></w:tc>" : cellWith(textRun(std::to_string(r * 1000 + c) + ".5"));
            }
            body += "</w:tr>";
        }
        body += "</w:tbl>";
    }
    return body + gwtest::para("");
}

struct Counted {
    int count = 0;
};

using Command = std::function<Counted(ooxml::WordApplication&, commands::CommandHost&)>;

settings::FormatSettings panelDefaults() { return settings::defaultFormatSettings(settings::NumberLocale{}); }

const Command kFormat = [](ooxml::WordApplication& word, commands::CommandHost& host) {
    engine::FormatRun run(word, host);
    return Counted{static_cast<int>(run.run(panelDefaults(), engine::Scope::WholeDocument))};
};
const Command kBody = [](ooxml::WordApplication& word, commands::CommandHost& host) {
    return Counted{bodytext::formatBodyText(word, panelDefaults(), host).paragraphsFormatted};
};
const Command kThousands = [](ooxml::WordApplication& word, commands::CommandHost&) {
    engine::addThousandsSeparators(word);
    return Counted{};
};
const Command kTidy = [](ooxml::WordApplication& word, commands::CommandHost& host) {
    return Counted{utilities::tidyTables(word, host).count};
};
const Command kDeleteEmptyRows = [](ooxml::WordApplication& word, commands::CommandHost& host) {
    return Counted{utilities::deleteEmptyRows(word, host).count};
};
const Command kUnlinkFields = [](ooxml::WordApplication& word, commands::CommandHost& host) {
    return Counted{utilities::unlinkFields(word, host).count};
};
// Nothing to convert here: what is timed is the walk over the inline shapes of a long document.
const Command kConvertSheets = [](ooxml::WordApplication& word, commands::CommandHost& host) {
    return Counted{utilities::convertEmbeddedSheets(word, *word.excel(), host).count};
};

void onLongTable(benchmark::State& state, const Command& command) {
    gwbench::timeOnFreshCopies(state, gwbench::madeOnce("long", static_cast<int>(state.range(0)), longTable), command);
}

void onManyTables(benchmark::State& state, const Command& command) {
    gwbench::timeOnFreshCopies(state, gwbench::madeOnce("many", static_cast<int>(state.range(0)), manyTables), command);
}

}  // namespace

#define ON_BOTH_SHAPES(name, command)                                                                   \
    BENCHMARK_CAPTURE(onLongTable, name, command)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(onManyTables, name, command)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond)

ON_BOTH_SHAPES(format, kFormat);
ON_BOTH_SHAPES(body, kBody);
ON_BOTH_SHAPES(thousands, kThousands);
ON_BOTH_SHAPES(tidy, kTidy);
ON_BOTH_SHAPES(deleteEmptyRows, kDeleteEmptyRows);
ON_BOTH_SHAPES(unlinkFields, kUnlinkFields);
ON_BOTH_SHAPES(convertSheets, kConvertSheets);
