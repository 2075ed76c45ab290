// Tests of the COM backend start a Word through the real COM runtime and get the scripted double.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "automation/com/word_application.h"
#include "automation/word.h"
#include "word_double.h"

namespace comtest {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.install();
        word = automation::com::createWord();
    }
    void TearDown() override {
        word.reset();
        EXPECT_EQ(server.liveObjects(), 0) << "a handle kept its Word object";
        EXPECT_EQ(server.overReleases(), 0) << "a Word object was released once too often";
    }

    WordDouble server;
    std::shared_ptr<automation::Application> word;
};

// The Word error number a call fails with; 0 when it succeeds.
inline long errorNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const automation::Error& error) {
        return error.number();
    }
    return 0;
}

}  // namespace comtest
