// Word's enumeration values, by Word's names and numbers.
#pragma once

namespace automation {

inline constexpr int wdUndefined = 9999999;

// WdBorderType
inline constexpr int wdBorderTop = -1;
inline constexpr int wdBorderLeft = -2;
inline constexpr int wdBorderBottom = -3;
inline constexpr int wdBorderRight = -4;
inline constexpr int wdBorderHorizontal = -5;
inline constexpr int wdBorderVertical = -6;

// WdLineStyle (the ones the embedded Word knows)
inline constexpr int wdLineStyleNone = 0;
inline constexpr int wdLineStyleSingle = 1;
inline constexpr int wdLineStyleDot = 2;
inline constexpr int wdLineStyleDashSmallGap = 3;
inline constexpr int wdLineStyleDashLargeGap = 4;
inline constexpr int wdLineStyleDashDot = 5;
inline constexpr int wdLineStyleDashDotDot = 6;
inline constexpr int wdLineStyleDouble = 7;
inline constexpr int wdLineStyleTriple = 8;
inline constexpr int wdLineStyleThinThickSmallGap = 9;
inline constexpr int wdLineStyleThickThinSmallGap = 10;
inline constexpr int wdLineStyleThinThickThinSmallGap = 11;
inline constexpr int wdLineStyleThinThickMedGap = 12;
inline constexpr int wdLineStyleThickThinMedGap = 13;
inline constexpr int wdLineStyleThinThickThinMedGap = 14;
inline constexpr int wdLineStyleThinThickLargeGap = 15;
inline constexpr int wdLineStyleThickThinLargeGap = 16;
inline constexpr int wdLineStyleThinThickThinLargeGap = 17;
inline constexpr int wdLineStyleSingleWavy = 18;
inline constexpr int wdLineStyleDoubleWavy = 19;
inline constexpr int wdLineStyleDashDotStroked = 20;
inline constexpr int wdLineStyleEmboss3D = 21;
inline constexpr int wdLineStyleEngrave3D = 22;
inline constexpr int wdLineStyleOutset = 23;
inline constexpr int wdLineStyleInset = 24;

// WdLineWidth, eighths of a point
inline constexpr int wdLineWidth025pt = 2;
inline constexpr int wdLineWidth050pt = 4;
inline constexpr int wdLineWidth075pt = 6;
inline constexpr int wdLineWidth100pt = 8;
inline constexpr int wdLineWidth150pt = 12;
inline constexpr int wdLineWidth225pt = 18;
inline constexpr int wdLineWidth300pt = 24;
inline constexpr int wdLineWidth450pt = 36;
inline constexpr int wdLineWidth600pt = 48;

// WdParagraphAlignment
inline constexpr int wdAlignParagraphLeft = 0;
inline constexpr int wdAlignParagraphCenter = 1;
inline constexpr int wdAlignParagraphRight = 2;
inline constexpr int wdAlignParagraphJustify = 3;
inline constexpr int wdAlignParagraphDistribute = 4;

// WdLineSpacing
inline constexpr int wdLineSpaceSingle = 0;
inline constexpr int wdLineSpace1pt5 = 1;
inline constexpr int wdLineSpaceDouble = 2;
inline constexpr int wdLineSpaceAtLeast = 3;
inline constexpr int wdLineSpaceExactly = 4;
inline constexpr int wdLineSpaceMultiple = 5;

// WdCellVerticalAlignment
inline constexpr int wdCellAlignVerticalTop = 0;
inline constexpr int wdCellAlignVerticalCenter = 1;
inline constexpr int wdCellAlignVerticalBottom = 3;

// WdRowHeightRule
inline constexpr int wdRowHeightAuto = 0;
inline constexpr int wdRowHeightAtLeast = 1;
inline constexpr int wdRowHeightExactly = 2;

// WdPreferredWidthType
inline constexpr int wdPreferredWidthAuto = 1;
inline constexpr int wdPreferredWidthPercent = 2;
inline constexpr int wdPreferredWidthPoints = 3;

// WdAutoFitBehavior
inline constexpr int wdAutoFitFixed = 0;
inline constexpr int wdAutoFitContent = 1;
inline constexpr int wdAutoFitWindow = 2;

// WdReplace
inline constexpr int wdReplaceNone = 0;
inline constexpr int wdReplaceOne = 1;
inline constexpr int wdReplaceAll = 2;

// WdFindWrap
inline constexpr int wdFindStop = 0;
inline constexpr int wdFindContinue = 1;
inline constexpr int wdFindAsk = 2;

// WdAlertLevel
inline constexpr int wdAlertsNone = 0;
inline constexpr int wdAlertsAll = -1;

// WdWordDialog
inline constexpr int wdDialogFileOpen = 80;

// WdInlineShapeType
inline constexpr int wdInlineShapeEmbeddedOLEObject = 1;
inline constexpr int wdInlineShapeLinkedOLEObject = 2;
inline constexpr int wdInlineShapePicture = 3;
inline constexpr int wdInlineShapeLinkedPicture = 4;

// WdPasteOptions / recovery type
inline constexpr int wdPasteDefault = 0;

// WdSaveOptions
inline constexpr int wdDoNotSaveChanges = 0;
inline constexpr int wdSaveChanges = -1;

}  // namespace automation
