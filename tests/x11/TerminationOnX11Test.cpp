// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "runtime/backends/x11/XTestKeyboard.h"
#include "runtime/platform/keyboard/KeyString.h"
#include "tests/x11/QuiboOnX11.h"

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

// The real program's windows opened through its buttons and menus with XTest
// input, as a person would.
class TerminationOnX11 : public QuiboOnX11, public testing::WithParamInterface<OpenWindows> {
public:
    void SetUp() override {
        QuiboOnX11::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_keyboard = std::make_unique<rt::x11::XTestKeyboard>(m_display);
    }

    Window waitShown(const std::string& title) const {
        Window w = 0;
        XServer::waitFor([&] { return (w = shown(title)) != 0; }, 15000);
        // Let the window manager give it the focus before keys are typed.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return w;
    }
    Window start() {
        launch();
        return waitShown(kMain);
    }
    using QuiboOnX11::click;
    void type(const std::string& keys) const { m_keyboard->type(rt::parseKeyString(keys), true); }

protected:
    std::unique_ptr<rt::x11::XTestKeyboard> m_keyboard;
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
    fs::remove(folder() / "temp.txt");

    EXPECT_EQ(end(row.signal), 0);
    for (const char* title : {kMain, kApp, kVocab, kAbout, kMeter})
        EXPECT_EQ(shown(title), 0u) << title;
    std::string text = hive();
    for (const std::string& form : row.placed)
        EXPECT_NE(text.find("Software\\\\" + form + "\\\\Position"), std::string::npos)
            << form << "\n"
            << text;
    EXPECT_TRUE(fs::exists(folder() / "temp.txt"));

    EXPECT_NE(start(), 0u) << "the second start shows no main window";
    EXPECT_EQ(end(), 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, TerminationOnX11, testing::ValuesIn(kOpenWindows),
                         [](const testing::TestParamInfo<OpenWindows>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
