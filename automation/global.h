// Word's global object: the unit conversions every command uses instead of computing factors itself.
#pragma once

namespace automation {

class Global {
public:
    virtual ~Global() = default;
    // cm x 72 / 2.54, in single precision, as Word computes it.
    virtual float CentimetersToPoints(float centimetres);
    // lines x 12.
    virtual float LinesToPoints(float lines);
};

}  // namespace automation
