#include "automation/global.h"

namespace automation {

float Global::CentimetersToPoints(float centimetres) { return centimetres * 72.0f / 2.54f; }

float Global::LinesToPoints(float lines) { return lines * 12.0f; }

}  // namespace automation
