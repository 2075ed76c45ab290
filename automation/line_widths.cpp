#include "automation/line_widths.h"

#include <array>

#include "automation/constants.h"

namespace automation {

std::span<const int> lineWidthsOffered(int style) {
    static constexpr std::array<int, 9> all = {2, 4, 6, 8, 12, 18, 24, 36, 48};
    static constexpr std::array<int, 7> dashed = {2, 4, 6, 8, 12, 18, 24};
    static constexpr std::array<int, 4> doubled = {2, 4, 6, 12};
    static constexpr std::array<int, 3> triple = {2, 4, 6};
    static constexpr std::array<int, 1> wave = {6};
    static constexpr std::array<int, 6> threeD = {6, 12, 18, 24, 36, 48};
    switch (style) {
        case wdLineStyleNone:
        case wdLineStyleSingle: return all;
        case wdLineStyleDot:
        case wdLineStyleDashSmallGap:
        case wdLineStyleDashLargeGap:
        case wdLineStyleDashDot:
        case wdLineStyleDashDotDot: return dashed;
        case wdLineStyleDouble: return doubled;
        case wdLineStyleTriple: return triple;
        case wdLineStyleSingleWavy:
        case wdLineStyleDoubleWavy:
        case wdLineStyleDashDotStroked: return wave;
        case wdLineStyleEmboss3D:
        case wdLineStyleEngrave3D:
        case wdLineStyleOutset:
        case wdLineStyleInset: return threeD;
        default: break;
    }
    if (style >= wdLineStyleThinThickSmallGap && style <= wdLineStyleThinThickThinLargeGap) return all;
    return {};
}

}  // namespace automation
