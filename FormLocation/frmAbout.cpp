#include "FormLocation/frmAbout.h"

#include <filesystem>
#include <memory>

#include "FormLocation/MakerInfo.h"
#include "runtime/core/Ansi.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/shell/Shell32.h"

namespace tlvFormControls {

namespace {
constexpr int32_t kLinkColor = 0x00C00000;
constexpr int vbArrowHourglass = 13;
constexpr float kClientWidth = 4560;
constexpr float kClientHeight = 2475;
} // namespace

frmAbout::frmAbout() : rt::Form("frmAbout", "About Talvane Software Form Controls") {
    setBorderStyle(rt::vbFixedDialog);
    // Shown with no owner given: centred over the window it was opened from.
    setStartUpPosition(rt::vbStartUpOwner);
    setClientSize(kClientWidth, kClientHeight);
    Label3.setCaption(MakerInfo::kStreet);
    Label4.setCaption(MakerInfo::kCity);
    Label5.setCaption(MakerInfo::kPostalCode);
    lblWeb.setCaption(MakerInfo::kWebAddress);
    lblEmail.setCaption(MakerInfo::kSupportEmail);
    lblWeb.setForeColor(kLinkColor);
    lblEmail.setForeColor(kLinkColor);

    Label1.Move(120, 120, 4095, 255);
    Label2.Move(120, 480, 2655, 255);
    Label3.Move(120, 720, 2655, 255);
    Label4.Move(120, 960, 2655, 255);
    Label5.Move(120, 1200, 2655, 255);
    Label6.Move(120, 1680, 3135, 255);
    Label7.Move(120, 1920, 495, 255);
    Label8.Move(120, 2160, 495, 255);
    lblWeb.Move(600, 2160, 1815, 255);
    lblEmail.Move(600, 1920, 2055, 255);
    btnClose.Move(3360, 2040, 1095, 375);

    btnClose.Click.connect([this] { btnClose_Click(); });
    lblEmail.Click.connect([this] { lblEmail_Click(); });
    lblWeb.Click.connect([this] { lblWeb_Click(); });
}

void frmAbout::btnClose_Click() {
    Unload();
}

void frmAbout::lblEmail_Click() {
    openLink(std::string("mailto:") + MakerInfo::kSupportEmail);
}

void frmAbout::lblWeb_Click() {
    openLink(MakerInfo::kWebLink);
}

// The pointer goes back to the default whatever the shell did.
void frmAbout::openLink(const std::string& target) {
    rt::skipFailure([&] { rt::Screen().MousePointer = vbArrowHourglass; });
    rt::skipFailure([&] {
        std::error_code ec;
        std::string directory = rt::ansiFromUtf8(std::filesystem::current_path(ec).string());
        rt::ShellExecuteA(hWnd(), std::string("Open"), target, std::nullopt, directory,
                          rt::SW_SHOW);
    });
    rt::skipFailure([&] { rt::Screen().MousePointer = rt::vbDefault; });
}

void ShowAbout() {
    auto about = std::make_unique<frmAbout>();
    about->Show(rt::vbModal);
}

} // namespace tlvFormControls
