// The embedded Excel's BIFF8 reader against an outside reader (xlrd), its number formats, and its
// behaviour on workbooks it must refuse: encrypted, BIFF5, damaged, fuzzed.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "automation/error.h"
#include "automation/excel.h"
#include "automation/ooxml/xls_number_format.h"
#include "automation/ooxml/xls_workbook.h"
#include "support/sheet_docs.h"

namespace {

using namespace automation::ooxml::xls;
using gwtest::sampleWorkbooks;

class XlsReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (sampleWorkbooks().empty()) GTEST_SKIP() << "/usr/bin/python3 with xlwt is needed to write the workbooks";
    }
    std::filesystem::path workbook(const std::string& name) { return sampleWorkbooks() / name; }
};

TEST_F(XlsReaderTest, ReadsWhatXlrdReadsCellForCell) {
    for (const char* name :
         {"numbers.xls", "merged.xls", "dates1904.xls", "two_sheets.xls", "rows-700.xls", "formulas.xls"}) {
        SCOPED_TRACE(name);
        const gwtest::Oracle oracle = gwtest::readWithXlrd(workbook(name));
        ASSERT_FALSE(oracle.cells.empty());
        const auto book = readWorkbook(gwtest::fileBytes(workbook(name)));
        const Worksheet sheet = readWorksheet(*book, 0);
        EXPECT_EQ(book->date1904, oracle.datemode == 1);
        std::size_t shown = 0;
        for (const Cell& c : sheet.cells) shown += c.value.kind != ValueKind::Empty;
        EXPECT_EQ(shown, oracle.cells.size());
        for (const gwtest::OracleCell& expected : oracle.cells) {
            SCOPED_TRACE(std::to_string(expected.row) + "," + std::to_string(expected.column));
            const Cell* c = sheet.find(expected.row, expected.column);
            ASSERT_NE(c, nullptr);
            if (expected.kind == "text") {
                EXPECT_EQ(c->value.kind, ValueKind::Text);
                EXPECT_EQ(c->value.text, expected.value);
            } else {
                EXPECT_EQ(c->value.kind, expected.kind == "number"    ? ValueKind::Number
                                         : expected.kind == "boolean" ? ValueKind::Boolean
                                                                      : ValueKind::Error);
                EXPECT_DOUBLE_EQ(c->value.number, std::stod(expected.value));
            }
            EXPECT_EQ(book->numberFormat(c->xf), expected.format);
        }
        std::set<std::array<int, 4>> merged;
        for (const MergedArea& m : sheet.merged) merged.insert({m.row1, m.row2, m.column1, m.column2});
        const std::set<std::array<int, 4>> expectedMerged(oracle.merged.begin(), oracle.merged.end());
        EXPECT_EQ(merged, expectedMerged);
    }
}

TEST_F(XlsReaderTest, ReadsSheetNamesFontsAndColumnWidths) {
    const auto book = readWorkbook(gwtest::fileBytes(workbook("merged.xls")));
    ASSERT_EQ(book->sheets.size(), 1u);
    EXPECT_EQ(book->sheets[0].name, "合并");
    const Worksheet sheet = readWorksheet(*book, 0);
    EXPECT_DOUBLE_EQ(sheet.columnWidth(2), 20);
    const Cell* title = sheet.find(1, 1);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(book->font(title->xf).name, "宋体");
    EXPECT_DOUBLE_EQ(book->font(title->xf).size, 16);
    EXPECT_TRUE(book->font(title->xf).bold);
    EXPECT_EQ(book->format(title->xf).align, HAlign::Center);
    EXPECT_EQ(readWorkbook(gwtest::fileBytes(workbook("two_sheets.xls")))->sheets.size(), 2u);
}

// Format code x value -> text, from Excel's documentation of its number formats (tests/data).
TEST(XlsNumberFormat, ShowsWhatExcelsFormatGrammarSays) {
    const std::vector<gwtest::FormatCase> cases = gwtest::numberFormatCases();
    ASSERT_GT(cases.size(), 90u);
    for (const gwtest::FormatCase& c : cases)
        EXPECT_EQ(displayText(c.value, c.code, false), c.expected) << c.code << " | " << c.valueText << " | " << c.note;
}

TEST_F(XlsReaderTest, TheDateSystemOfTheWorkbookDecidesTheDate) {
    const auto book = readWorkbook(gwtest::fileBytes(workbook("dates1904.xls")));
    const Worksheet sheet = readWorksheet(*book, 0);
    ASSERT_TRUE(book->date1904);
    const Cell* date = sheet.find(0, 0);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(displayText(date->value, book->numberFormat(date->xf), book->date1904), "2024-03-05");
    const Cell* evening = sheet.find(1, 0);
    ASSERT_NE(evening, nullptr);
    EXPECT_EQ(displayText(evening->value, book->numberFormat(evening->xf), book->date1904), "2000/1/1 6:00 PM");
}

// A record: type, length, body.
std::string record(std::uint16_t type, const std::string& body) {
    std::string r;
    for (std::uint16_t v : {type, static_cast<std::uint16_t>(body.size())}) {
        r += static_cast<char>(v & 0xFF);
        r += static_cast<char>(v >> 8);
    }
    return r + body;
}

std::string bof(std::uint16_t version, std::uint16_t kind) {
    std::string body(16, '\0');
    body[0] = static_cast<char>(version & 0xFF);
    body[1] = static_cast<char>(version >> 8);
    body[2] = static_cast<char>(kind);
    return record(0x0809, body);
}

// What the reader makes of a compound file: "read", or the kind of problem it refused it for.
std::string refusal(const std::string& compound) {
    using automation::excel::WorkbookProblem;
    try {
        auto book = readWorkbook(compound);
        for (std::size_t i = 0; i < book->sheets.size(); ++i) readWorksheet(*book, i);
    } catch (const automation::excel::WorkbookRefused& e) {
        EXPECT_EQ(e.number(), automation::errors::ExcelRefused);
        switch (e.problem()) {
            case WorkbookProblem::Encrypted: return "encrypted";
            case WorkbookProblem::OldVersion: return "old";
            case WorkbookProblem::Damaged: return "damaged";
            case WorkbookProblem::TooLarge: return "too large";
        }
    }
    return "read";
}

TEST(XlsRefusals, EncryptedOldAndDamagedWorkbooksAreToldApart) {
    using gwtest::compoundFile;
    const std::string eof = record(0x000A, "");
    EXPECT_EQ(refusal(compoundFile("Workbook", bof(0x0600, 5) + record(0x002F, std::string(54, '\1')) + eof)),
              "encrypted");
    EXPECT_EQ(refusal(compoundFile("Workbook", bof(0x0500, 5) + eof)), "old");
    EXPECT_EQ(refusal(compoundFile("Book", bof(0x0500, 5) + eof)), "old");
    EXPECT_EQ(refusal(compoundFile("Workbook", record(0x0409, std::string(6, '\0')) + eof)), "old");
    EXPECT_EQ(refusal(compoundFile("Workbook", bof(0x0600, 5))), "damaged");                // no end
    EXPECT_EQ(refusal(compoundFile("Workbook", bof(0x0600, 5).substr(0, 11))), "damaged");  // cut inside a record
    EXPECT_EQ(refusal(record(0x0409, std::string(6, '\0')) + eof), "old");                  // without a compound file
    EXPECT_EQ(refusal(compoundFile("WordDocument", "x")), "damaged");
    EXPECT_EQ(refusal("not a compound file at all"), "damaged");
    EXPECT_EQ(refusal(""), "damaged");
    // A sheet whose position lies outside the stream.
    std::string sheet = std::string("\xFF\xFF\0\0\0\0\x01\0A", 9);
    EXPECT_EQ(refusal(compoundFile("Workbook", bof(0x0600, 5) + record(0x0085, sheet) + eof)), "damaged");
}

// Compound files compare stream names without case, and some writers put BIFF8 into a "Book" stream.
TEST_F(XlsReaderTest, TheWorkbookStreamIsFoundWhateverItsCaseAndInABookStream) {
    const std::string stream = readWorkbook(gwtest::fileBytes(workbook("numbers.xls")))->stream;
    for (const char* name : {"WORKBOOK", "workbook", "Book", "BOOK"}) {
        SCOPED_TRACE(name);
        const auto book = readWorkbook(gwtest::compoundFile(name, stream));
        const Worksheet sheet = readWorksheet(*book, 0);
        const Cell* first = sheet.find(0, 0);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->value.text, "项目");
    }
}

// Reads everything a conversion would: every sheet, every cell's displayed text.
void readEverything(const std::shared_ptr<Workbook>& book) {
    for (std::size_t i = 0; i < book->sheets.size(); ++i) {
        try {
            const Worksheet sheet = readWorksheet(*book, i);
            for (const Cell& c : sheet.cells) (void)displayText(c.value, book->numberFormat(c.xf), book->date1904);
        } catch (const automation::Error&) {}
    }
}

TEST_F(XlsReaderTest, TruncatedAndBitFlippedWorkbooksNeverCrash) {
    std::mt19937 random(20240305);
    for (const char* name : {"numbers.xls", "merged.xls", "dates1904.xls"}) {
        const std::string file = gwtest::fileBytes(workbook(name));
        const std::string stream = readWorkbook(file)->stream;
        // Every prefix of the stream.
        for (std::size_t length = 0; length < stream.size(); length += 7) {
            try {
                readEverything(readWorkbookStream(stream.substr(0, length)));
            } catch (const automation::Error&) {}
        }
        // Flipped bits in the records, a few at a time.
        for (int round = 0; round < 1500; ++round) {
            std::string mutated = stream;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips; ++i)
                mutated[random() % mutated.size()] ^= static_cast<char>(1u << (random() % 8));
            try {
                readEverything(readWorkbookStream(mutated));
            } catch (const automation::Error&) {}
        }
        // Flipped bytes in the compound file around it.
        for (int round = 0; round < 150; ++round) {
            std::string mutated = file;
            for (int i = 0; i < 4; ++i) mutated[random() % mutated.size()] = static_cast<char>(random());
            try {
                readEverything(readWorkbook(mutated));
            } catch (const automation::Error&) {}
        }
    }
}

}  // namespace
