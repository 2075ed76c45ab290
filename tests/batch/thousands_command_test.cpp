// gridwright-batch --thousands from a file to a file.
#include <gtest/gtest.h>

#include <sstream>

#include "automation/ooxml/application.h"
#include "batch/batch_app.h"
#include "support/docx_builder.h"

namespace {

TEST(BatchThousands, AddsSeparatorsToTheMainTextAndSaves) {
    gwtest::TempDir dir;
    const auto input = dir.file("in.docx");
    const auto output = dir.file("out.docx");
    gwtest::writeDocx(input, gwtest::para("合计 1234567.89 元，共 1234 项") + gwtest::table(1, 1, "", "9876.5 "));
    batch::BatchApp app(batch::defaultCommands(), [] { return automation::ooxml::createWord(); });
    std::ostringstream out, err;
    ASSERT_EQ(app.run({input.string(), "--thousands", "-o", output.string()}, out, err), batch::kExitOk) << err.str();
    const std::string main = gwtest::readPart(output, "word/document.xml");
    EXPECT_NE(main.find("合计 1,234,567.89 元，共 1234 项"), std::string::npos) << main;
    EXPECT_NE(main.find("9,876.5"), std::string::npos) << main;
}

}  // namespace
