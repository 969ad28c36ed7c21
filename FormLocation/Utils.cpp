#include "FormLocation/Utils.h"

namespace tlvFormControls::Utils {

int32_t Max(int32_t a, int32_t b) {
    if (a > b)
        return a;
    return b;
}

} // namespace tlvFormControls::Utils
