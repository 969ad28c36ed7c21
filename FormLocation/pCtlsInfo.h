#pragma once
// The geometry records of a StretchContainer's controls, in the order they
// were added and keyed by control name (without regard to case, as control
// names are). Nothing here handles errors: the inner collection's reach the
// caller unchanged.

#include <memory>
#include <string>
#include <vector>

#include "FormLocation/pCtlInfo.h"
#include "runtime/core/Collection.h"

namespace tlvFormControls {

class pCtlsInfo {
public:
    pCtlsInfo() { Class_Initialize(); }
    ~pCtlsInfo() { Class_Terminate(); }
    pCtlsInfo(const pCtlsInfo&) = delete;
    pCtlsInfo& operator=(const pCtlsInfo&) = delete;

    // A new record under the key ControlName; its CtlFontSize stays 0. A
    // name already present raises 457 and adds nothing.
    std::shared_ptr<pCtlInfo> Add(const std::string& ControlName, float nHeight, float nTop,
                                  float nLeft, float nWidth);
    // By position from 1 (9 when out of range) or by key (5 when absent).
    std::shared_ptr<pCtlInfo> Item(const rt::Variant& vntIndexKey) const;
    int32_t Count() const;
    void Remove(const rt::Variant& vntIndexKey);
    // The records in order.
    std::vector<std::shared_ptr<pCtlInfo>> NewEnum() const;

private:
    void Class_Initialize();
    void Class_Terminate();

    std::unique_ptr<rt::Collection> m_Items;
};

} // namespace tlvFormControls
