#include "voicecommand/frmAbout.h"

#include <filesystem>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/core/Ansi.h"
#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/shell/Shell32.h"
#include "voicecommand/Program.h"

namespace {

constexpr uint32_t kAllAccess = 0x2003F;
constexpr int32_t vbNormalFocus = 1;
constexpr int kClassNotAvailable = 429;

const char* const kTitle = "QUIBO! Voice Command";
const char* const kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kSysInfoValue = "PATH";
const char* const kSysInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kSysInfoLocationValue = "MSINFO";
const char* const kSysInfoProgram = "MSINFO32.EXE";

bool isFile(const std::string& ansiPath) {
    std::error_code ec;
    return std::filesystem::is_regular_file(rt::utf8FromAnsi(ansiPath), ec);
}

// A program path may hold blanks; the command line must keep it one word.
std::string commandLineFor(const std::string& program) {
    if (!isFile(program))
        return program;
    std::string quoted = "\"";
    for (char c : program)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

frmAbout::frmAbout() : rt::Form("frmAbout", "About") {
    setIcon(Program::kIcon);
    Move(Left(), Top(), 5880, 3900);
    picIcon.Move(240, 240, 540, 540);
    lblTitle.Move(1050, 240, 4485, 315);
    lblVersion.Move(1050, 600, 4485, 225);
    lblDescription.Move(1050, 960, 4485, 1050);
    lblDisclaimer.Move(255, 2280, 3870, 825);
    cmdOK.Move(4245, 2160, 1260, 345);
    cmdSysInfo.Move(4260, 2610, 1245, 345);
    cmdUlvarWebSvr.Move(240, 1200, 540, 540);
    picIcon.setPicture(Program::kIcon);
    cmdUlvarWebSvr.setPicture("web-browser");
    cmdUlvarWebSvr.setToolTipText(std::string("Visit the QUIBO! web site: ") + kWebSite);
    // The box's answer: Enter and Escape both close it.
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);

    cmdOK.Click.connect([this] { cmdOK_Click(); });
    cmdSysInfo.Click.connect([this] { cmdSysInfo_Click(); });
    cmdUlvarWebSvr.Click.connect([this] { cmdUlvarWebSvr_Click(); });
}

void frmAbout::Form_Load() {
    setCaption(std::string("About ") + kTitle);
    const rt::Application& app = rt::App();
    lblVersion.setCaption("Version " + std::to_string(app.Major()) + "." +
                          std::to_string(app.Minor()) + "." + std::to_string(app.Revision()));
}

void frmAbout::cmdOK_Click() {
    Unload();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

// Without the browser's automation object, which this platform never has,
// the desktop's own browser shows the site; the user hears when there is
// none, also when the desktop's opener finds that out only as it ends.
void frmAbout::cmdUlvarWebSvr_Click() {
    rt::DispatchPtr browser;
    try {
        browser = rt::CreateObject("InternetExplorer.Application");
    } catch (const rt::RuntimeError& e) {
        if (e.number() != kClassNotAvailable)
            throw;
        auto cannotOpen = [] {
            rt::MsgBox(std::string("The web site cannot be opened: ") + kWebSite +
                           "\nIs a web browser installed?",
                       rt::vbExclamation);
        };
        rt::SHELLEXECUTEINFO info;
        info.fMask = rt::SEE_MASK_NOCLOSEPROCESS;
        info.hwnd = hWnd();
        info.lpVerb = "open";
        info.lpFile = kWebSite;
        if (rt::ShellExecuteExA(info))
            rt::WhenOpenFails(info.hProcess, cannotOpen);
        else
            cannotOpen();
        return;
    }
    browser->call("navigate", {rt::Variant(std::string(kWebSite))});
    browser->let("Visible", rt::Variant(true));
}

void frmAbout::StartSysInfo() {
    try {
        std::string SysInfoPath;
        bool found = false;
        if (GetKeyValue(rt::HKEY_LOCAL_MACHINE, kSysInfoKey, kSysInfoValue, SysInfoPath)) {
            found = true;
        } else if (GetKeyValue(rt::HKEY_LOCAL_MACHINE, kSysInfoLocationKey, kSysInfoLocationValue,
                               SysInfoPath)) {
            std::string program = SysInfoPath + "/" + kSysInfoProgram;
            if (isFile(program)) {
                SysInfoPath = program;
                found = true;
            }
        }
        if (found) {
            rt::Shell(commandLineFor(SysInfoPath), vbNormalFocus);
            return;
        }
    } catch (const rt::RuntimeError&) {
    }
    rt::MsgBox("System Information Is Unavailable At This Time", rt::vbOKOnly);
}

bool frmAbout::GetKeyValue(rt::HKEY KeyRoot, const std::string& KeyName,
                           const std::string& SubKeyRef, std::string& KeyVal) {
    rt::HKEY hKey = 0;
    if (rt::RegOpenKeyExA(KeyRoot, KeyName, 0, kAllAccess, &hKey) != rt::ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    uint8_t buffer[1024] = {};
    uint32_t KeyValType = 0;
    uint32_t KeyValSize = sizeof buffer;
    if (rt::RegQueryValueExA(hKey, SubKeyRef, &KeyValType, buffer, &KeyValSize) !=
        rt::ERROR_SUCCESS) {
        KeyVal.clear();
        rt::RegCloseKey(hKey);
        return false;
    }
    std::string tmpVal(reinterpret_cast<const char*>(buffer), KeyValSize);
    if (!tmpVal.empty() && tmpVal.back() == '\0')
        tmpVal.pop_back();
    if (KeyValType == rt::REG_SZ) {
        KeyVal = tmpVal;
    } else if (KeyValType == rt::REG_DWORD) {
        static const char digits[] = "0123456789ABCDEF";
        std::string text = "&h";
        for (auto i = tmpVal.rbegin(); i != tmpVal.rend(); ++i) {
            auto byte = static_cast<unsigned char>(*i);
            if (byte >= 16)
                text += digits[byte >> 4];
            text += digits[byte & 15];
        }
        KeyVal = text;
    }
    rt::RegCloseKey(hKey);
    return true;
}
