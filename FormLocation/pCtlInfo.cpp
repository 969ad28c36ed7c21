#include "FormLocation/pCtlInfo.h"

namespace tlvFormControls {

const rt::MemberTable& pCtlInfo::memberTable() {
    auto toFloat = &rt::Variant::toSingle;
    static const rt::MemberTable table({
        rt::property<pCtlInfo>("CtlFontSize", 0x68030005, &pCtlInfo::CtlFontSize,
                               &pCtlInfo::setCtlFontSize, toFloat),
        rt::property<pCtlInfo>("nWidth", 0x68030004, &pCtlInfo::nWidth, &pCtlInfo::setnWidth,
                               toFloat),
        rt::property<pCtlInfo>("nLeft", 0x68030003, &pCtlInfo::nLeft, &pCtlInfo::setnLeft, toFloat),
        rt::property<pCtlInfo>("nTop", 0x68030002, &pCtlInfo::nTop, &pCtlInfo::setnTop, toFloat),
        rt::property<pCtlInfo>("nHeight", 0x68030001, &pCtlInfo::nHeight, &pCtlInfo::setnHeight,
                               toFloat),
        rt::property<pCtlInfo>("ControlName", 0x68030000, &pCtlInfo::ControlName,
                               &pCtlInfo::setControlName, &rt::Variant::toString),
    });
    return table;
}

} // namespace tlvFormControls
