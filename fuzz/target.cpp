// A libFuzzer program over one function of inputs.h, named by GRIDWRIGHT_FUZZ_INPUT (see CMakeLists.txt).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GRIDWRIGHT_FUZZ_INPUT(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
