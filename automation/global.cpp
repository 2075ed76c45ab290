#include "automation/global.h"

namespace automation {

float CentimetersToPoints(float centimetres) { return centimetres * 72.0f / 2.54f; }

float LinesToPoints(float lines) { return lines * 12.0f; }

}  // namespace automation
