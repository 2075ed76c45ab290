// What a many-document run shows while it runs and when it ends: the counts, a progress line that a
// terminal redraws in place, and the closing summary.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>

#include "batch/document_report.h"

namespace batch {

struct Tally {
    std::size_t total = 0;
    std::size_t ok = 0;
    std::size_t changed = 0;  // of ok
    std::size_t skipped = 0;
    std::size_t refused = 0;
    std::size_t failed = 0;
    std::size_t timeout = 0;
    std::map<long, std::size_t> refusedBy;  // Word's error number -> documents

    void count(const DocumentResult& result);
    std::size_t finished() const { return ok + skipped + refused + failed + timeout; }
    std::size_t failures() const { return refused + failed + timeout; }
};

// "已完成 120/1000  失败 2  每秒 8.5 份  剩余约 1分45秒"; the rate and time left appear once
// something was processed. Skipped documents count as finished but not in the rate.
std::string progressLine(const Tally& tally, double seconds);

// The closing lines: the totals, done (changed, unchanged), skipped, failed by reason; and when the
// run was interrupted, how many were not started.
std::string summary(const Tally& tally, double seconds, bool interrupted);

// "45秒", "1分05秒", "2小时03分".
std::string durationText(double seconds);

// Columns a UTF-8 text takes in a terminal: CJK characters and full-width forms take two.
std::size_t displayWidth(const std::string& text);

// One line at the bottom of a terminal, redrawn in place with a carriage return. Other output to the
// same terminal goes through print(), which takes the line away first and draws it again after.
class ProgressDisplay {
public:
    // Draws nothing unless on is true (the stream is a terminal and the run is not --quiet).
    ProgressDisplay(std::ostream& terminal, bool on) : terminal_(terminal), on_(on) {}
    void show(const std::string& line);
    void clear();
    // Prints text (whole lines) on to (the terminal's stream or another one), then draws the line again.
    void print(std::ostream& to, const std::string& text);

private:
    std::ostream& terminal_;
    bool on_;
    std::string line_;
    std::size_t width_ = 0;  // the columns of what is on the screen now
};

}  // namespace batch
