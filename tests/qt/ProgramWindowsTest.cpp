// Pictures of the program's windows as the Qt view shows them: each is
// written under the build folder for a person to look at, and checked for
// its size and for drawn captions.

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <QToolBar>
#include <QAction>
#include <filesystem>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmAbout.h"
#include "voicecommand/frmVocab.h"
#include "voicecommand/frmVolSet.h"

namespace {

int distinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

struct ProgramWindow {
    const char* name;
    std::function<rt::Form&()> show;
};

class ProgramWindowsTest : public testing::Test {
protected:
    ProgramWindowsTest() {
        m_registry = rt::test::uniqueTempDir("qt-program-registry");
        rt::registry::setFolder(m_registry.string());
        m_folder.makeVocabFolder();
    }
    ~ProgramWindowsTest() override {
        rt::form<frmVolSet>().unload();
        rt::form<frmAbout>().unload();
        rt::form<frmQuibo>().unload();
        Program::DiscardForms();
        Program::reset();
        std::error_code ec;
        std::filesystem::remove_all(m_registry, ec);
    }

    rt::test::ProgramFolder m_folder;
    std::filesystem::path m_registry;
};

class ProgramWindows : public ProgramWindowsTest,
                       public testing::WithParamInterface<ProgramWindow> {};

TEST_P(ProgramWindows, WindowIsDrawnAtItsSizeWithItsCaptions) {
    rt::Form& form = GetParam().show();
    QWidget* window = rt::qt::formWindow(form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle().toStdString(), form.Caption());
    EXPECT_EQ(window->width(), static_cast<int>(form.ScaleWidth() / 15 + 0.5f));

    QPixmap picture = window->grab();
    std::string file = std::string(QUIBO_QT_PICTURES) + "/" + GetParam().name + ".png";
    ASSERT_TRUE(picture.save(QString::fromStdString(file)));
    EXPECT_GT(distinctColours(picture.toImage()), 4);
    // Every captioned button and label shows its caption: more than its
    // background's colours.
    for (rt::Control* c : form.Controls()) {
        auto* button = dynamic_cast<rt::CommandButton*>(c);
        auto* label = dynamic_cast<rt::Label*>(c);
        std::string caption = button ? button->Caption() : label ? label->Caption() : "";
        if (caption.empty() || !c->Visible())
            continue;
        QWidget* w = window->findChild<QWidget*>(QString::fromStdString(c->Name()));
        ASSERT_NE(w, nullptr) << c->Name();
        EXPECT_GT(distinctColours(w->grab().toImage()), 2) << c->Name();
    }
}

// The status bar of the main window shows the phrase last heard: its panel
// is drawn with the text, not left as the blank panel it was.
TEST_F(ProgramWindowsTest, MainWindowDrawsThePhraseInItsStatusBar) {
    frmQuibo& main = rt::form<frmQuibo>().get();
    main.Show();
    QWidget* window = rt::qt::formWindow(main);
    ASSERT_NE(window, nullptr);
    auto* panel = window->findChild<QLabel*>(QStringLiteral("panel1"));
    ASSERT_NE(panel, nullptr);
    main.stbVCmd.setPanelText(1, "");
    QImage blank = panel->grab().toImage();

    main.stbVCmd.setPanelText(1, "Notes");
    EXPECT_EQ(panel->text().toStdString(), "Notes");
    QImage heard = panel->grab().toImage();
    EXPECT_EQ(heard.size(), blank.size());
    EXPECT_NE(heard, blank);
    EXPECT_GT(distinctColours(heard), distinctColours(blank));
    QPixmap picture = window->grab();
    EXPECT_EQ(picture.width(), window->width());
    EXPECT_EQ(picture.height(), window->height());
    ASSERT_TRUE(picture.save(
        QString::fromStdString(std::string(QUIBO_QT_PICTURES) + "/frmQuibo-heard.png")));
}

TEST_F(ProgramWindowsTest, ToolbarButtonsShowTheirPicturesAndTooltips) {
    frmApp& form = rt::form<frmApp>().get();
    form.Show();
    QWidget* window = rt::qt::formWindow(form);
    ASSERT_NE(window, nullptr);
    auto* bar = window->findChild<QToolBar*>("tbrApp");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), form.tbrApp.ButtonCount());
    for (int i = 1; i <= form.tbrApp.ButtonCount(); ++i) {
        const rt::ToolbarButton& button = form.tbrApp.Buttons(i);
        QAction* action = bar->actions().at(i - 1);
        SCOPED_TRACE(button.Key);
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_EQ(action->toolTip().toStdString(), button.ToolTipText);
    }
    ASSERT_TRUE(bar->grab().save(QString(QUIBO_QT_PICTURES) + "/frmApp-toolbar.png"));
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramWindows,
                         testing::Values(ProgramWindow{"frmQuibo",
                                                       []() -> rt::Form& {
                                                           rt::form<frmQuibo>()->Show();
                                                           return rt::form<frmQuibo>().get();
                                                       }},
                                         ProgramWindow{"frmApp",
                                                       []() -> rt::Form& {
                                                           rt::form<frmApp>()->Show();
                                                           return rt::form<frmApp>().get();
                                                       }},
                                         ProgramWindow{"frmVocab",
                                                       []() -> rt::Form& {
                                                           rt::form<frmVocab>()->Show();
                                                           return rt::form<frmVocab>().get();
                                                       }},
                                         ProgramWindow{"frmVolSet",
                                                       []() -> rt::Form& {
                                                           rt::form<frmVolSet>()->Show();
                                                           return rt::form<frmVolSet>().get();
                                                       }},
                                         ProgramWindow{"frmAbout",
                                                       []() -> rt::Form& {
                                                           rt::form<frmAbout>()->Show();
                                                           return rt::form<frmAbout>().get();
                                                       }}),
                         [](const testing::TestParamInfo<ProgramWindow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
