// The component library's classes and its four exported entry points.

#include "FormLocation/Classes.h"
#include "runtime/com/ComponentServer.h"

namespace {

void anchor() {}

rt::ComponentServer& server() {
    static rt::ComponentServer s(
        {{"tlvFormControls.FormLocator", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E001}",
          "tlvFormControls.FormLocator", tlvFormControls::newFormLocator},
         {"tlvFormControls.StretchContainer", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E002}",
          "tlvFormControls.StretchContainer", tlvFormControls::newStretchContainer},
         {"tlvFormControls.PaneArea", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E003}",
          "tlvFormControls.PaneArea", tlvFormControls::newPaneArea},
         {"tlvFormControls.PaneContainer", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E004}",
          "tlvFormControls.PaneContainer", tlvFormControls::newPaneContainer},
         {"tlvFormControls.ppFormLocation", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E021}",
          "tlvFormControls.ppFormLocation", tlvFormControls::newppFormLocation},
         {"tlvFormControls.ppStretchContainer", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E022}",
          "tlvFormControls.ppStretchContainer", tlvFormControls::newppStretchContainer},
         {"tlvFormControls.ppPaneArea", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E023}",
          "tlvFormControls.ppPaneArea", tlvFormControls::newppPaneArea},
         {"tlvFormControls.ppPaneContainer", "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E024}",
          "tlvFormControls.ppPaneContainer", tlvFormControls::newppPaneContainer}},
        reinterpret_cast<const void*>(&anchor));
    return s;
}

} // namespace

QUIBO_COMPONENT_LIBRARY(server)
