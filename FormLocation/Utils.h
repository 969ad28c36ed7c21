#pragma once
// Small routines the library's controls share.

#include <cstdint>

namespace tlvFormControls::Utils {

// The larger of the two; equal arguments give that value.
int32_t Max(int32_t a, int32_t b);

} // namespace tlvFormControls::Utils
