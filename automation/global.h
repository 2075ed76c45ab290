// Word's global object: the unit conversions every command uses instead of computing factors itself.
// They are Word's own formulas in single precision, the same for every Word, so they are plain functions.
#pragma once

namespace automation {

// cm x 72 / 2.54, in single precision, as Word computes it.
float CentimetersToPoints(float centimetres);
// lines x 12.
float LinesToPoints(float lines);

}  // namespace automation
