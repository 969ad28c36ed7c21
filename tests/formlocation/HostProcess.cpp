// A second program that hosts a FormLocator: it loads a form whose locator
// keeps its placement under the given key, restores it, and prints the
// form's Left, Top, Width, Height and WindowState.
//
// formlocation_host <registry folder> <registry key>

#include <cstdio>
#include <string>

#include "runtime/com/PropertyBag.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/UserControl.h"
#include "runtime/platform/registry/Registry.h"

namespace {

class HostForm : public rt::Form {
public:
    explicit HostForm(const rt::PropertyBag& description)
        : Form("frmMain", "Main"),
          floc(*this, "flocMain", "tlvFormControls.FormLocator", description) {}
    rt::ControlSite floc;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: formlocation_host <registry folder> <registry key>\n");
        return 2;
    }
    rt::registry::setFolder(argv[1]);
    rt::PropertyBag description;
    description.WriteProperty("RegistryKey", std::string(argv[2]), "");
    HostForm form(description);
    form.runLoad();
    if (!form.floc.object()) {
        std::fprintf(stderr, "%s\n", form.floc.creationError()->description().c_str());
        return 1;
    }
    form.floc.Invoke(static_cast<rt::DispId>(0x60030002), rt::InvokeKind::Method, {});
    std::printf("%g %g %g %g %d\n", form.Left(), form.Top(), form.Width(), form.Height(),
                form.WindowState());
    return 0;
}
