#include "FormLocation/pCtlsInfo.h"

namespace tlvFormControls {

void pCtlsInfo::Class_Initialize() {
    m_Items = std::make_unique<rt::Collection>();
}

void pCtlsInfo::Class_Terminate() {
    m_Items.reset();
}

std::shared_ptr<pCtlInfo> pCtlsInfo::Add(const std::string& ControlName, float nHeight, float nTop,
                                         float nLeft, float nWidth) {
    auto objNewMember = std::make_shared<pCtlInfo>();
    objNewMember->setControlName(ControlName);
    objNewMember->setnHeight(nHeight);
    objNewMember->setnTop(nTop);
    objNewMember->setnLeft(nLeft);
    objNewMember->setnWidth(nWidth);
    m_Items->Add(rt::Variant(rt::DispatchPtr(objNewMember)), ControlName);
    return objNewMember;
}

std::shared_ptr<pCtlInfo> pCtlsInfo::Item(const rt::Variant& vntIndexKey) const {
    // Only records are ever added, so the cast cannot miss.
    return std::static_pointer_cast<pCtlInfo>(m_Items->Item(vntIndexKey).toObject());
}

int32_t pCtlsInfo::Count() const {
    return static_cast<int32_t>(m_Items->Count());
}

void pCtlsInfo::Remove(const rt::Variant& vntIndexKey) {
    m_Items->Remove(vntIndexKey);
}

std::vector<std::shared_ptr<pCtlInfo>> pCtlsInfo::NewEnum() const {
    std::vector<std::shared_ptr<pCtlInfo>> records;
    for (long i = 1; i <= m_Items->Count(); ++i)
        records.push_back(Item(rt::Variant(static_cast<int32_t>(i))));
    return records;
}

} // namespace tlvFormControls
