// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <X11/extensions/XTest.h>

#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/backends/x11/XTestKeyboard.h"
#include "runtime/platform/keyboard/KeyString.h"
#include "tests/support/TestSupport.h"
#include "tests/x11/XServer.h"

namespace {

namespace fs = std::filesystem;

const char* const kMain = "QUIBO! Voice Control";
const char* const kApp = "Application Command Configuration";
const char* const kVocab = "Vocabulary/Dictionary Configuration";
const char* const kAbout = "About QUIBO! Voice Command";
const char* const kMeter = "Sound Card Volume Visibility";

class TerminationOnX11;

struct OpenWindows {
    const char* name;
    // What a person does in the main window to get there.
    std::function<void(TerminationOnX11&, Window main)> open;
    // The window in front when the request comes; empty: the main window.
    const char* front;
    // The windows whose placement their unload saves.
    std::vector<std::string> placed;
    // Ctrl+C in the terminal is an interrupt.
    int signal = SIGTERM;
};

// The real program on a desktop with a window manager, in a program folder
// of its own; its windows are opened through its buttons and menus with
// XTest input, as a person would.
class TerminationOnX11 : public testing::TestWithParam<OpenWindows> {
public:
    void SetUp() override {
        if (std::system("command -v Xvfb >/dev/null && command -v openbox >/dev/null") != 0)
            GTEST_SKIP() << "Xvfb or openbox is not installed";
        m_server = std::make_unique<XServer>(true);
        ASSERT_TRUE(m_server->ok());
        m_folder = rt::test::uniqueTempDir("quibo-termination-x11");
        fs::copy_file(QUIBO_EXE, m_folder / "quibo");
        setenv("QUIBO_REGISTRY_DIR", (m_folder / "registry").c_str(), 1);
        ASSERT_EQ(
            std::system((std::string(COMPREG) + " " + TLV_FORM_CONTROLS + " >/dev/null").c_str()),
            0);
        m_display = rt::x11::XDisplay::open();
        m_desktop = std::make_unique<rt::x11::X11Desktop>(m_display);
        m_keyboard = std::make_unique<rt::x11::XTestKeyboard>(m_display);
    }
    void TearDown() override {
        if (m_quibo > 0) {
            kill(m_quibo, SIGKILL);
            waitpid(m_quibo, nullptr, 0);
        }
        unsetenv("QUIBO_REGISTRY_DIR");
        std::error_code ec;
        if (!m_folder.empty())
            fs::remove_all(m_folder, ec);
    }

    // The shown top-level window with this title; 0 for none.
    Window shown(const std::string& title) const {
        for (rt::HWND h : m_desktop->topLevelWindows())
            if (m_desktop->windowText(h) == title && m_desktop->isVisible(h))
                return static_cast<Window>(h);
        return 0;
    }
    Window waitShown(const std::string& title) const {
        Window w = 0;
        XServer::waitFor([&] { return (w = shown(title)) != 0; }, 15000);
        // Let the window manager give it the focus before keys are typed.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return w;
    }
    Window start() {
        m_quibo = fork();
        if (m_quibo == 0) {
            execl((m_folder / "quibo").c_str(), "quibo", static_cast<char*>(nullptr));
            _exit(127);
        }
        return waitShown(kMain);
    }
    // A left click at (x, y) of the window's client area.
    void click(Window w, int x, int y) const {
        Display* d = m_display->get();
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(d, w, m_display->root(), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, 0);
        XTestFakeButtonEvent(d, 1, True, 0);
        XTestFakeButtonEvent(d, 1, False, 0);
        XFlush(d);
    }
    void type(const std::string& keys) const { m_keyboard->type(rt::parseKeyString(keys), true); }
    // The exit status once the program ended on `signal`; -1 when it did
    // not end in time (it is then killed).
    int terminate(int signal = SIGTERM) {
        kill(m_quibo, signal);
        int status = -1;
        bool ended =
            XServer::waitFor([&] { return waitpid(m_quibo, &status, WNOHANG) == m_quibo; }, 10000);
        if (!ended) {
            kill(m_quibo, SIGKILL);
            waitpid(m_quibo, nullptr, 0);
        }
        m_quibo = 0;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string hive() const {
        std::ifstream in(m_folder / "registry" / "HKEY_CURRENT_USER.reg");
        return {std::istreambuf_iterator<char>(in), {}};
    }

protected:
    std::unique_ptr<XServer> m_server;
    fs::path m_folder;
    std::shared_ptr<rt::x11::XDisplay> m_display;
    std::unique_ptr<rt::x11::X11Desktop> m_desktop;
    std::unique_ptr<rt::x11::XTestKeyboard> m_keyboard;
    pid_t m_quibo = 0;
};

// The Configure button sits at the left of the main window's only row.
void configure(TerminationOnX11& t, Window main) {
    t.click(main, 30, 18);
    ASSERT_NE(t.waitShown(kApp), 0u);
}

// Help, its last item.
void aboutBox(TerminationOnX11& t, Window main) {
    configure(t, main);
    t.type("%h{UP}~");
}

const OpenWindows kOpenWindows[] = {
    {"NothingModal", [](TerminationOnX11&, Window) {}, "", {"frmQuibo"}},
    {"Configuration", configure, kApp, {"frmQuibo", "frmApp"}},
    {"AboutBoxOverTheConfiguration", aboutBox, kAbout, {"frmQuibo", "frmApp"}},
    {"AboutBoxOverTheConfigurationOnAnInterrupt", aboutBox, kAbout, {"frmQuibo", "frmApp"}, SIGINT},
    {"SoundMeterOverTheConfiguration",
     [](TerminationOnX11& t, Window main) {
         configure(t, main);
         t.type("%es");
     },
     kMeter,
     {"frmQuibo", "frmApp"}},
    {"Vocabularies",
     [](TerminationOnX11& t, Window main) {
         configure(t, main);
         t.type("%ev");
     },
     kVocab,
     {"frmQuibo", "frmApp", "frmVocab"}},
    {"ConfigurationAgainOverTheVocabularies",
     [](TerminationOnX11& t, Window main) {
         configure(t, main);
         t.type("%ev");
         ASSERT_NE(t.waitShown(kVocab), 0u);
         t.type("%v");
     },
     kApp,
     {"frmQuibo", "frmApp", "frmVocab"}},
};

// A termination request ends the program whatever windows are open: each
// open window closes as its user would close it (what it saves is saved),
// the process ends with 0 and lets its folder go, so the next start runs.
TEST_P(TerminationOnX11, EndsTheProgramAndSavesWhatItsWindowsSave) {
    const OpenWindows& row = GetParam();
    Window main = start();
    ASSERT_NE(main, 0u);
    ASSERT_NO_FATAL_FAILURE(row.open(*this, main));
    if (*row.front) {
        ASSERT_NE(waitShown(row.front), 0u);
    }
    // Nothing placed yet on a first start, and the grammar file is written
    // again at the end.
    for (const std::string& form : row.placed)
        ASSERT_EQ(hive().find("Software\\\\" + form + "\\\\Position"), std::string::npos) << form;
    fs::remove(m_folder / "temp.txt");

    EXPECT_EQ(terminate(row.signal), 0);
    for (const char* title : {kMain, kApp, kVocab, kAbout, kMeter})
        EXPECT_EQ(shown(title), 0u) << title;
    std::string text = hive();
    for (const std::string& form : row.placed)
        EXPECT_NE(text.find("Software\\\\" + form + "\\\\Position"), std::string::npos)
            << form << "\n"
            << text;
    EXPECT_TRUE(fs::exists(m_folder / "temp.txt"));

    EXPECT_NE(start(), 0u) << "the second start shows no main window";
    EXPECT_EQ(terminate(), 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, TerminationOnX11, testing::ValuesIn(kOpenWindows),
                         [](const testing::TestParamInfo<OpenWindows>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
