#include "batch/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace batch {

void Tally::count(const DocumentResult& result) {
    switch (result.status) {
        case DocumentStatus::Ok:
            ++ok;
            if (result.changed) ++changed;
            break;
        case DocumentStatus::Skipped: ++skipped; break;
        case DocumentStatus::Refused:
            ++refused;
            ++refusedBy[result.errorNumber];
            break;
        case DocumentStatus::Failed: ++failed; break;
        case DocumentStatus::Timeout: ++timeout; break;
    }
}

std::string durationText(double seconds) {
    const long total = std::lround(std::max(0.0, seconds));
    char text[48];
    if (total < 60)
        std::snprintf(text, sizeof text, "%ld秒", total);
    else if (total < 3600)
        std::snprintf(text, sizeof text, "%ld分%02ld秒", total / 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld小时%02ld分", total / 3600, total % 3600 / 60);
    return text;
}

namespace {

// "8.5" below ten a second, "12" above: as precise as a glance needs.
std::string rateText(double rate) {
    char text[32];
    std::snprintf(text, sizeof text, rate < 10 ? "%.1f" : "%.0f", rate);
    std::string result = text;
    // The user's locale may write a decimal comma; the line is Chinese and uses a point.
    for (char& c : result)
        if (c == ',') c = '.';
    return result;
}

}  // namespace

std::string progressLine(const Tally& tally, double seconds) {
    std::string line = "已完成 " + std::to_string(tally.finished()) + "/" + std::to_string(tally.total);
    line += "  失败 " + std::to_string(tally.failures());
    const std::size_t processed = tally.finished() - tally.skipped;
    if (processed > 0 && seconds > 0) {
        const double rate = static_cast<double>(processed) / seconds;
        line += "  每秒 " + rateText(rate) + " 份";
        line += "  剩余约 " + durationText(static_cast<double>(tally.total - tally.finished()) / rate);
    }
    return line;
}

std::string summary(const Tally& tally, double seconds, bool interrupted) {
    std::string text;
    if (interrupted)
        text += "已中断：" + std::to_string(tally.total - tally.finished()) +
                " 份文档没有处理，再次运行时可用 --skip-existing 接着处理。\n";
    const std::size_t processed = tally.finished() - tally.skipped;
    text += "共 " + std::to_string(tally.total) + " 份文档，用时 " + durationText(seconds);
    if (processed > 0 && seconds > 0) text += "（每秒 " + rateText(static_cast<double>(processed) / seconds) + " 份）";
    text += "\n  完成 " + std::to_string(tally.ok) + " 份：有改动 " + std::to_string(tally.changed) + " 份，无改动 " +
            std::to_string(tally.ok - tally.changed) + " 份\n";
    if (tally.skipped > 0) text += "  跳过 " + std::to_string(tally.skipped) + " 份：输出文件比输入文件新\n";
    if (tally.failures() > 0) {
        text += "  失败 " + std::to_string(tally.failures()) + " 份：";
        std::string reasons;
        auto reason = [&](std::size_t count, const std::string& what, const std::string& detail) {
            if (count == 0) return;
            reasons += (reasons.empty() ? "" : "，") + what + " " + std::to_string(count) + " 份" + detail;
        };
        std::string numbers;
        for (const auto& [number, count] : tally.refusedBy)
            numbers += (numbers.empty() ? "" : "，") + std::string("错误 ") + std::to_string(number) + "：" +
                       std::to_string(count) + " 份";
        reason(tally.refused, "Word 拒绝", "（" + numbers + "）");
        reason(tally.timeout, "超时", "");
        reason(tally.failed, "出错", "");
        text += reasons + "\n";
    }
    return text;
}

std::size_t displayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

void ProgressDisplay::show(const std::string& line) {
    if (!on_) return;
    line_ = line;
    const std::size_t width = displayWidth(line);
    // Spaces rather than an erase sequence: the Windows console shows those only when asked to.
    terminal_ << '\r' << line << std::string(width_ > width ? width_ - width : 0, ' ');
    if (width_ > width) terminal_ << '\r' << line;
    terminal_.flush();
    width_ = width;
}

void ProgressDisplay::clear() {
    if (!on_ || width_ == 0) return;
    terminal_ << '\r' << std::string(width_, ' ') << '\r';
    terminal_.flush();
    width_ = 0;
}

void ProgressDisplay::print(std::ostream& to, const std::string& text) {
    const std::string line = line_;
    clear();
    to << text;
    to.flush();
    if (!line.empty()) show(line);
}

}  // namespace batch
