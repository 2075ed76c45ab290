#include "winshell/line_samples.h"

#include <algorithm>
#include <cmath>

namespace winshell {

namespace {

// A solid bar from x1 to x2, `thickness` pixels high, centred on y.
void bar(HDC dc, int x1, int x2, double y, int thickness, HBRUSH brush) {
    const int top = static_cast<int>(std::lround(y - thickness / 2.0));
    const RECT r{x1, top, x2, top + thickness};
    FillRect(dc, &r, brush);
}

void drawLine(HDC dc, int x1, int x2, double y, double points, std::string_view style, const Dpi& dpi) {
    // At its size on the screen, never thinner than one pixel.
    const int thickness = std::max(1, static_cast<int>(std::lround(points * dpi.value() / 72.0)));
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (style == "2") {
        // Dots as long as the line is thick (at least 2 pixels), with gaps of the same length.
        const int dot = std::max(2, thickness);
        for (int x = x1; x < x2; x += 2 * dot) bar(dc, x, std::min(x + dot, x2), y, thickness, black);
    } else if (style == "7") {
        // Two lines of the width with a gap of the same width between them.
        const double offset = (thickness + std::max(thickness, 2)) / 2.0;
        bar(dc, x1, x2, y - offset, thickness, black);
        bar(dc, x1, x2, y + offset, thickness, black);
    } else {
        bar(dc, x1, x2, y, thickness, black);
    }
}

}  // namespace

void drawSample(HDC dc, const RECT& rect, const settings::SampleImage* image, const Dpi& dpi, HFONT font) {
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (image == nullptr || image->style.empty()) return;
    const int width = rect.right - rect.left;
    const int labelWidth = width * 2 / 5;
    RECT label{rect.left + dpi.scaled(4), rect.top, rect.left + labelWidth, rect.bottom};
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const std::wstring text = wide(image->label);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, previous);
    const double y = (rect.top + rect.bottom) / 2.0;
    drawLine(dc, rect.left + labelWidth, rect.right - dpi.scaled(6), y, image->widthPoints, image->style, dpi);
}

void drawAlignmentIcons(HDC dc, const RECT& rect, const Dpi& dpi) {
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    const int box = dpi.scaled(22);
    const int gap = dpi.scaled(6);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HBRUSH highlight = CreateSolidBrush(RGB(0xcc, 0xe4, 0xf7));
    HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    HBRUSH blue = CreateSolidBrush(RGB(0x33, 0x66, 0x99));
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < 3; ++i) {
        const bool centre = i == 1;
        const RECT cell{rect.left + i * (box + gap), rect.top, rect.left + i * (box + gap) + box, rect.top + box};
        FillRect(dc, &cell, centre ? highlight : white);
        FrameRect(dc, &cell, centre ? blue : grey);
        // Three short text lines at the top, in the middle or at the bottom of the cell.
        const int first = dpi.scaled(i == 0 ? 4 : (i == 1 ? 7 : 10));
        for (int line = 0; line < 3; ++line) {
            const int y = cell.top + first + line * dpi.scaled(3);
            const RECT stroke{cell.left + dpi.scaled(5), y, cell.right - dpi.scaled(5), y + std::max(1, dpi.scaled(1))};
            FillRect(dc, &stroke, black);
        }
    }
    DeleteObject(highlight);
    DeleteObject(grey);
    DeleteObject(blue);
}

}  // namespace winshell
