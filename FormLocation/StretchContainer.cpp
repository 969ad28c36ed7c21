// Placeholder until the control is built.
#include "FormLocation/Classes.h"
#include "runtime/core/Error.h"

namespace tlvFormControls {

rt::DispatchPtr newStretchContainer() {
    rt::raiseError(rt::kCannotCreateObject);
}

} // namespace tlvFormControls
