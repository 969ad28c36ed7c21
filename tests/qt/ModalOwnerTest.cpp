// A modal window belongs to the window it was opened from, so that the
// desktop keeps it above that window (an always-on-top one too).

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"

namespace {

TEST(ModalOwner, TheConfigurationWindowBelongsToTheMainWindowThatOpenedIt) {
    rt::test::ProgramFolder folder;
    folder.makeVocabFolder();
    std::filesystem::path registry = rt::test::uniqueTempDir("qt-modal-registry");
    rt::registry::setFolder(registry.string());
    frmQuibo& main = rt::form<frmQuibo>().get();
    main.Show();
    QWindow* mainWindow = rt::qt::formWindow(main)->windowHandle();
    ASSERT_NE(mainWindow, nullptr);
    QWindow* owner = nullptr;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        frmApp& app = rt::form<frmApp>().get();
        if (QWidget* w = rt::qt::formWindow(app)) {
            owner = w->windowHandle()->transientParent();
            modal = w->isModal();
        }
        rt::UserInput::closeForm(app);
    });
    rt::UserInput::click(main.cmdConfigure);
    EXPECT_TRUE(modal);
    EXPECT_EQ(owner, mainWindow);
    rt::form<frmQuibo>().unload();
    Program::DiscardForms();
    Program::reset();
    std::error_code ec;
    std::filesystem::remove_all(registry, ec);
}

} // namespace
