// The sample images of the line-style picker and the main window's preview boxes, drawn with GDI at
// the window's resolution, and the fixed picture of the three vertical alignments.
#pragma once

#include "settings/line_spec.h"
#include "winshell/gui.h"

namespace winshell {

// The line's width in points followed by 磅 on the left, a stretch of the line in its style and width
// on the right; all white for the blank image or none.
void drawSample(HDC dc, const RECT& rect, const settings::SampleImage* image, const Dpi& dpi, HFONT font);

// Three cells with their text at the top, in the middle and at the bottom; the middle one highlighted.
void drawAlignmentIcons(HDC dc, const RECT& rect, const Dpi& dpi);

}  // namespace winshell
