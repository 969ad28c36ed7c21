#pragma once
// The program's world for one test: a fresh program folder and registry, a
// simulated desktop with other programs' windows, a shell and a keyboard
// that record, and a scripted user. Every form is unloaded afterwards.

#include <gtest/gtest.h>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimKeyboard.h"
#include "runtime/backends/sim/SimShell.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/platform/registry/Registry.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "runtime/platform/shell/Shell32.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/Program.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"

class ProgramFixture : public testing::Test {
protected:
    ProgramFixture() {
        rt::registry::setFolder(registryDir.string());
        rt::setDesktop(desktop);
        rt::setShell(shell);
        rt::setKeyboard(keyboard);
        user = rt::ScriptedUser::install();
        RunningApps::ReleaseWindowHandles();
    }
    ~ProgramFixture() override {
        // Unloading one window loads the other again to empty its lists, as at
        // the program's end: what is left goes without its handlers.
        rt::form<frmQuibo>().unload();
        rt::form<frmApp>().unload();
        rt::form<frmVocab>().unload();
        Program::DiscardForms();
        Program::reset();
        RunningApps::ReleaseWindowHandles();
        rt::setKeyboard(nullptr);
        rt::setShell(nullptr);
        rt::setDesktop(nullptr);
        rt::setFormsHost(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(registryDir, ec);
    }

    // A value a window's placement control left under
    // HKEY_CURRENT_USER\Software\<form>\Position; empty when missing.
    static std::string placement(const std::string& form, const std::string& name) {
        rt::HKEY key = 0;
        if (rt::RegOpenKeyExA(rt::HKEY_CURRENT_USER, "Software\\" + form + "\\Position", 0,
                              rt::KEY_READ, &key) != rt::ERROR_SUCCESS)
            return {};
        uint8_t data[64] = {};
        uint32_t type = 0, size = sizeof data;
        rt::LONG rc = rt::RegQueryValueExA(key, name, &type, data, &size);
        rt::RegCloseKey(key);
        return rc == rt::ERROR_SUCCESS ? std::string(reinterpret_cast<char*>(data), size) : "";
    }

    rt::HWND addWindow(const std::string& cls, const std::string& title, bool iconic = false) {
        return desktop->addWindow({.className = cls, .title = title, .iconic = iconic});
    }
    void writeApps(const std::vector<std::string>& records) {
        folder.write("vappcmd.txt", rt::test::recordFile(records, 270));
    }
    void writeVocab(const std::string& name, const std::vector<std::string>& records) {
        folder.write("vocab/" + name + ".txt", rt::test::recordFile(records, 128));
    }
    static std::string key(const std::string& cls, const std::string& title) {
        return RunningApps::MakeWindowKey(cls, title);
    }
    // Starts the program as its entry point does: the main window shown.
    frmQuibo& start() {
        frmQuibo& main = rt::form<frmQuibo>().get();
        main.Show();
        return main;
    }
    void refreshRunningApps() { RunningApps::FillRunningApps(rt::form<frmApp>()->lstRunApp); }

    std::filesystem::path registryDir = rt::test::uniqueTempDir("quibo-program-registry");
    rt::test::ProgramFolder folder;
    std::shared_ptr<rt::SimDesktop> desktop = std::make_shared<rt::SimDesktop>();
    std::shared_ptr<rt::SimShell> shell = std::make_shared<rt::SimShell>();
    std::shared_ptr<rt::SimKeyboard> keyboard = std::make_shared<rt::SimKeyboard>();
    std::shared_ptr<rt::ScriptedUser> user;
};
