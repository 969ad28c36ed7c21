// The library's About box: its layout, the links it opens, and the fresh
// instance every ShowAbout gets.

#include "FormLocation/frmAbout.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FormLocation/MakerInfo.h"
#include "runtime/core/Ansi.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/shell/Shell32.h"

namespace tlvFormControls {
namespace {

using namespace rt;

// A shell that records each open with the mouse pointer showing meanwhile,
// and answers as told: success, an error value, or a raised error.
class RecordingShell : public ShellBackend {
public:
    enum class Answer { Success, ErrorValue, Raise };
    struct Call {
        std::string verb, file;
        std::optional<std::string> parameters, directory;
        int showCmd;
        int pointer;
    };
    explicit RecordingShell(Answer answer) : m_answer(answer) {}

    int32_t open(const std::string& verb, const std::string& file,
                 const std::optional<std::string>& parameters,
                 const std::optional<std::string>& directory, int showCmd, int32_t&) override {
        calls.push_back({verb, file, parameters, directory, showCmd, Screen().MousePointer});
        if (m_answer == Answer::Raise)
            raiseError(kFileNotFound);
        return m_answer == Answer::Success ? kShellSuccess : SE_ERR_NOASSOC;
    }
    int32_t start(const std::vector<std::string>&, int) override { return 0; }

    std::vector<Call> calls;

private:
    Answer m_answer;
};

class AboutTest : public testing::Test {
protected:
    void SetUp() override { m_user = ScriptedUser::install(); }
    void TearDown() override {
        setShell(nullptr);
        Screen().MousePointer = vbDefault;
        EXPECT_EQ(m_user->pending(), 0u);
    }
    std::shared_ptr<ScriptedUser> m_user;
};

TEST_F(AboutTest, ShowsTheLibraryTheMakerAndTheContacts) {
    frmAbout about;
    EXPECT_EQ(about.Name(), "frmAbout");
    EXPECT_EQ(about.Caption(), "About Talvane Software Form Controls");
    EXPECT_EQ(about.ScaleWidth(), 4560);
    EXPECT_EQ(about.ScaleHeight(), 2475);
    struct Row {
        Control& control;
        std::string text;
        float left, top, width, height;
    };
    const Row rows[] = {
        {about.Label1, "Talvane Software Form Controls was developed by:", 120, 120, 4095, 255},
        {about.Label2, "Talvane Software Corporation", 120, 480, 2655, 255},
        {about.Label3, MakerInfo::kStreet, 120, 720, 2655, 255},
        {about.Label4, MakerInfo::kCity, 120, 960, 2655, 255},
        {about.Label5, MakerInfo::kPostalCode, 120, 1200, 2655, 255},
        {about.Label6, "Support is available via:", 120, 1680, 3135, 255},
        {about.Label7, "Email:", 120, 1920, 495, 255},
        {about.Label8, "Web:", 120, 2160, 495, 255},
        {about.lblWeb, MakerInfo::kWebAddress, 600, 2160, 1815, 255},
        {about.lblEmail, MakerInfo::kSupportEmail, 600, 1920, 2055, 255},
        {about.btnClose, "&Close", 3360, 2040, 1095, 375},
    };
    // The rows are in tab order, which is the order of the form's controls.
    ASSERT_EQ(about.Controls().size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.control.Name());
        EXPECT_EQ(about.Controls()[i], &row.control);
        EXPECT_EQ(row.control.get("Caption").toString(), row.text);
        EXPECT_EQ(row.control.Left(), row.left);
        EXPECT_EQ(row.control.Top(), row.top);
        EXPECT_EQ(row.control.Width(), row.width);
        EXPECT_EQ(row.control.Height(), row.height);
    }
    EXPECT_EQ(about.lblEmail.ForeColor(), 0x00C00000);
    EXPECT_EQ(about.lblWeb.ForeColor(), 0x00C00000);
}

struct LinkRow {
    std::string name;
    std::function<Label&(frmAbout&)> label;
    std::string target;
    RecordingShell::Answer answer;
};

void PrintTo(const LinkRow& row, std::ostream* os) {
    *os << row.name;
}

class AboutLinkTest : public AboutTest, public testing::WithParamInterface<LinkRow> {};

// The pointer shows the hourglass while the shell works and is back to the
// default afterwards, whatever the shell answered.
TEST_P(AboutLinkTest, AClickOpensTheLinkAndResetsThePointer) {
    const LinkRow& row = GetParam();
    auto shell = std::make_shared<RecordingShell>(row.answer);
    setShell(shell);
    HWND aboutWindow = 0;
    m_user->whileModal("frmAbout", [&](Form& form) {
        auto& about = static_cast<frmAbout&>(form);
        aboutWindow = about.hWnd();
        UserInput::click(row.label(about));
        EXPECT_EQ(Screen().MousePointer, vbDefault);
        UserInput::click(about.btnClose);
    });
    ShowAbout();
    ASSERT_EQ(shell->calls.size(), 1u);
    const RecordingShell::Call& call = shell->calls[0];
    EXPECT_EQ(call.verb, "open"); // the shell takes verbs in any case
    EXPECT_EQ(call.file, row.target);
    EXPECT_EQ(call.parameters, std::nullopt);
    EXPECT_EQ(call.directory, ansiFromUtf8(std::filesystem::current_path().string()));
    EXPECT_EQ(call.showCmd, SW_SHOW);
    EXPECT_EQ(call.pointer, 13);
    EXPECT_NE(aboutWindow, 0);
}

using Answer = RecordingShell::Answer;
const std::string kMail = std::string("mailto:") + MakerInfo::kSupportEmail;

INSTANTIATE_TEST_SUITE_P(
    Rows, AboutLinkTest,
    testing::Values(
        LinkRow{"Email", [](frmAbout& f) -> Label& { return f.lblEmail; }, kMail, Answer::Success},
        LinkRow{"Web", [](frmAbout& f) -> Label& { return f.lblWeb; }, MakerInfo::kWebLink,
                Answer::Success},
        LinkRow{"EmailWithoutMailProgram", [](frmAbout& f) -> Label& { return f.lblEmail; }, kMail,
                Answer::ErrorValue},
        LinkRow{"WebWithoutBrowser", [](frmAbout& f) -> Label& { return f.lblWeb; },
                MakerInfo::kWebLink, Answer::ErrorValue},
        LinkRow{"EmailWhenTheShellRaises", [](frmAbout& f) -> Label& { return f.lblEmail; }, kMail,
                Answer::Raise},
        LinkRow{"WebWhenTheShellRaises", [](frmAbout& f) -> Label& { return f.lblWeb; },
                MakerInfo::kWebLink, Answer::Raise}),
    [](const testing::TestParamInfo<LinkRow>& info) { return info.param.name; });

// The window system's frame is not the one the design allowed for: the
// client area stays the design's, the outer size follows the frame.
TEST_F(AboutTest, TheClientAreaIsTheDesignsWhateverFrameTheWindowGets) {
    frmAbout about;
    for (auto [width, height] : {std::pair{30.0f, 315.0f}, {0.0f, 0.0f}, {300.0f, 600.0f}}) {
        about.setNonClientSize(width, height);
        EXPECT_EQ(about.ScaleWidth(), 4560) << width << "x" << height;
        EXPECT_EQ(about.ScaleHeight(), 2475) << width << "x" << height;
        EXPECT_EQ(about.Width(), 4560 + width);
        EXPECT_EQ(about.Height(), 2475 + height);
    }
}

TEST_F(AboutTest, EveryShowAboutShowsAFreshInstanceAndReleasesIt) {
    // The window the boxes are opened from.
    Form host("frmHost", "Host");
    host.Move(1500, 1200, 9000, 6000);
    host.Show();
    std::vector<HWND> windows;
    auto closeAfterChecking = [&](Form& form) {
        auto& about = static_cast<frmAbout&>(form);
        windows.push_back(about.hWnd());
        EXPECT_TRUE(about.Visible());
        EXPECT_EQ(topModalForm(), &about);
        // What the first instance goes through must not reach the second.
        EXPECT_EQ(about.lblEmail.Caption(), MakerInfo::kSupportEmail);
        // Each opens centred over that window, wherever the last one was
        // moved.
        EXPECT_EQ(about.Left(), host.Left() + (host.Width() - about.Width()) / 2);
        EXPECT_NEAR(about.Top(), host.Top() + (host.Height() - about.Height()) / 2,
                    Screen().TwipsPerPixelY);
        about.lblEmail.setCaption("changed");
        about.Move(0, 0, about.Width(), about.Height());
        UserInput::click(about.btnClose);
    };
    m_user->whileModal("frmAbout", closeAfterChecking);
    m_user->whileModal("frmAbout", closeAfterChecking);
    ShowAbout();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_FALSE(IsWindow(windows[0]));
    ShowAbout();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NE(windows[0], windows[1]);
    EXPECT_FALSE(IsWindow(windows[1]));
    EXPECT_EQ(topModalForm(), nullptr);
}

TEST_F(AboutTest, ClosingTheBoxUnloadsIt) {
    frmAbout about;
    about.Show();
    UserInput::click(about.btnClose);
    EXPECT_FALSE(about.Loaded());
    EXPECT_FALSE(about.Visible());
}

} // namespace
} // namespace tlvFormControls
