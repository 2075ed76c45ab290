// The line samples of the line-style picker and the main window's previews, drawn at run time: the
// width in points with 磅 on the left, a stretch of the line in its style and width on the right.
#pragma once

#include <QPixmap>
#include <QSize>

#include <vector>

#include "settings/line_spec.h"

class QPainter;

namespace shell {

// The size of a preview box and of one sample image.
inline constexpr QSize kSampleSize{140, 28};

// Paints one sample (label and line) into rect; the blank image paints nothing but white.
void paintSample(QPainter& painter, const QRect& rect, const settings::SampleImage& image);

// One sample image on its own, as the previews show it.
QPixmap samplePixmap(const settings::SampleImage& image, QSize size = kSampleSize);

// A picture of several samples one under the other, each rowHeight high (a column of the picker).
QPixmap sampleColumnPixmap(const std::vector<const settings::SampleImage*>& images, int width, int rowHeight);

// The fixed picture of the three vertical alignments (top, centre, bottom) with the centre highlighted.
QPixmap verticalAlignmentIcons();

}  // namespace shell
