// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/backends/x11/PosixShell.h"
#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/backends/x11/XTestKeyboard.h"
#include "runtime/core/App.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "runtime/platform/registry/Registry.h"
#include "runtime/speech/ScriptedEngine.h"
#include "tests/x11/XServer.h"
#include "tests/support/ProgramFolder.h"
#include "voicecommand/Program.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"

namespace {

std::string record(const std::string& text, size_t length) { return rt::test::recordFile({text}, length); }

// Quibo with the scripted recogniser on a real X server with a window
// manager: a spoken name brings a terminal to the front, a phrase types into
// it, and the name of a program that is not running starts it.
TEST(SpokenCommandsOnX11, SwitchTypeAndStart) {
    if (std::system("command -v Xvfb >/dev/null && command -v xterm >/dev/null && command -v xclock >/dev/null") != 0)
        GTEST_SKIP() << "Xvfb, xterm or xclock is not installed";
    XServer server(true);
    ASSERT_TRUE(server.ok());
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("quibo-x11-" + std::to_string(getpid()));
    fs::create_directories(folder / "vocab");
    rt::App().setPath(folder.string());
    rt::registry::setFolder((folder / "registry").string());
    fs::path typed = folder / "typed.txt", started = folder / "started.txt";
    fs::path starter = folder / "start me.sh";
    std::ofstream(starter) << "#!/bin/sh\necho started > '" << started.string() << "'\nexec xclock\n";
    fs::permissions(starter, fs::perms::owner_all);

    auto display = rt::x11::XDisplay::open();
    auto desktop = std::make_shared<rt::x11::X11Desktop>(display);
    rt::setDesktop(desktop);
    rt::setKeyboard(std::make_shared<rt::x11::XTestKeyboard>(display));
    rt::setShell(std::make_shared<rt::x11::PosixShell>());
    rt::ScriptedUser::install();

    server.client({"xterm", "-class", "QuiboTerm", "-title", "notes", "-e", "sh", "-c",
                   "stty -echo; cat > \"$0\"", typed.string()});
    server.client({"xterm", "-class", "Other", "-title", "other"});
    rt::HWND term = 0, other = 0;
    ASSERT_TRUE(XServer::waitFor([&] {
        for (rt::HWND h : desktop->topLevelWindows()) {
            if (desktop->className(h) == "QuiboTerm")
                term = h;
            if (desktop->className(h) == "Other")
                other = h;
        }
        return term && other;
    }, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    {
        std::ofstream apps(folder / "vappcmd.txt", std::ios::binary);
        apps << record(RunningApps::MakeWindowKey("QuiboTerm", "notes") + "*Notes~Edit$", 270)
             << record(RunningApps::MakeWindowKey("Gone", "never") + "*Starter~Edit$" + starter.string(), 270);
        std::ofstream(folder / "vocab" / "Edit.txt", std::ios::binary)
            << record("Greet:hello+w{ENTER}", 128);
        std::ofstream(folder / "temp.txt", std::ios::binary)
            << "[Grammar]\r\n<start>=Notes\r\n<start>=Starter\r\n<start>=Greet\r\n";
    }
    frmQuibo& main = rt::form<frmQuibo>().get();
    auto& engine = dynamic_cast<rt::speech::ScriptedEngine&>(main.DirectSR1->engine());
    ASSERT_TRUE(desktop->setForeground(other));

    EXPECT_TRUE(engine.say("Notes"));
    EXPECT_EQ(desktop->foreground(), term);
    EXPECT_TRUE(engine.say("Greet"));
    std::string got;
    XServer::waitFor([&] {
        std::ifstream in(typed, std::ios::binary);
        got.assign(std::istreambuf_iterator<char>(in), {});
        return got == "helloW\n";
    });
    EXPECT_EQ(got, "helloW\n");
    EXPECT_TRUE(engine.say("Starter"));
    EXPECT_TRUE(XServer::waitFor([&] { return fs::exists(started); }));
    // The started program's own window appears on the desktop.
    EXPECT_TRUE(XServer::waitFor([&] {
        for (rt::HWND h : desktop->topLevelWindows())
            if (desktop->className(h) == "XClock")
                return true;
        return false;
    }));
    EXPECT_EQ(main.stbVCmd.PanelText(1), "Starter");

    rt::form<frmQuibo>().unload();
    for (int round = 0; round < 3; ++round) {
        rt::form<frmApp>().unload();
        rt::form<frmVocab>().unload();
    }
    rt::releaseUnloadedForms();
    Program::reset();
    rt::setKeyboard(nullptr);
    rt::setShell(nullptr);
    rt::setDesktop(nullptr);
    fs::remove_all(folder);
}

} // namespace
