// A modal window belongs to the window it was opened from, so that the
// desktop keeps it above that window (an always-on-top one too).

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
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
    // The window the desktop knows from the load on is the one that shows.
    rt::HWND loadedAs = rt::form<frmApp>()->hWnd();
    QWindow* owner = nullptr;
    QWidget *appWindow = nullptr, *boxParent = nullptr;
    bool modal = false;
    rt::HWND shownAs = 0;
    QTimer::singleShot(0, [&] {
        frmApp& app = rt::form<frmApp>().get();
        if (QWidget* w = rt::qt::formWindow(app)) {
            appWindow = w;
            owner = w->windowHandle()->transientParent();
            modal = w->isModal();
            shownAs = static_cast<rt::HWND>(w->winId());
        }
        // A box from the configuration window belongs to it, not to the
        // main window that owns both.
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxParent = box->parentWidget();
                box->accept();
            }
        });
        rt::MsgBox("There is nothing to save!", rt::vbOKOnly, "No item to save");
        rt::UserInput::closeForm(app);
    });
    rt::UserInput::click(main.cmdConfigure);
    EXPECT_TRUE(modal);
    EXPECT_EQ(owner, mainWindow);
    EXPECT_EQ(shownAs, loadedAs);
    ASSERT_NE(appWindow, nullptr);
    EXPECT_EQ(boxParent, appWindow);
    rt::form<frmQuibo>().unload();
    Program::DiscardForms();
    Program::reset();
    std::error_code ec;
    std::filesystem::remove_all(registry, ec);
}

// Forms of their own: a main window, a second one, and a box set to open
// centred over its owner (3000 x 2000 twips).
class frmFirst : public rt::Form {
public:
    frmFirst() : rt::Form("frmFirst", "First") { Move(600, 600, 6000, 4500); }
};
class frmSecond : public rt::Form {
public:
    frmSecond() : rt::Form("frmSecond", "Second") {}
};
class frmOverOwner : public rt::Form {
public:
    frmOverOwner() : rt::Form("frmOverOwner", "Over its owner") {
        setBorderStyle(rt::vbFixedDialog);
        setStartUpPosition(rt::vbStartUpOwner);
        Move(0, 0, 3000, 2000);
    }
};

// The whole window's rectangle as the view shows it: the form's outer size
// at the window's place.
QRect outerRect(const rt::Form& form) {
    QWidget* w = rt::qt::formWindow(form);
    return w ? QRect(w->frameGeometry().topLeft(),
                     QSize(int(form.Width() / 15), int(form.Height() / 15)))
             : QRect();
}

struct OwnerRow {
    const char* name;
    bool secondModal; // else shown modeless and made the active window
    // Where the second window is, from the screen's bottom-right corner
    // when negative (twips).
    float left, top;
};

void PrintTo(const OwnerRow& row, std::ostream* os) {
    *os << row.name;
}

class CentredOverOwner : public testing::TestWithParam<OwnerRow> {};

TEST_P(CentredOverOwner, OpensCentredOverTheWindowItBelongsToAndOnTheScreen) {
    const OwnerRow& row = GetParam();
    frmFirst& first = rt::form<frmFirst>().get();
    first.Show();
    frmSecond& second = rt::form<frmSecond>().get();
    auto edge = [](float v, float size) { return v < 0 ? size + v : v; };
    second.Move(edge(row.left, rt::Screen().Width), edge(row.top, rt::Screen().Height), 5000, 4000);
    QRect box, owner, screen = QGuiApplication::primaryScreen()->geometry();
    QWindow *parent = nullptr, *ownerWindow = nullptr;
    auto openBox = [&] {
        QTimer::singleShot(0, [&] {
            frmOverOwner& over = rt::form<frmOverOwner>().get();
            box = outerRect(over);
            owner = outerRect(second);
            ownerWindow = rt::qt::formWindow(second)->windowHandle();
            if (QWidget* w = rt::qt::formWindow(over))
                parent = w->windowHandle()->transientParent();
            rt::UserInput::closeForm(over);
        });
        rt::form<frmOverOwner>()->Show(rt::vbModal);
    };
    if (row.secondModal) {
        QTimer::singleShot(0, [&] {
            // The first window is active; the modal one is the owner all the same.
            rt::qt::formWindow(first)->activateWindow();
            QApplication::processEvents();
            openBox();
            rt::UserInput::closeForm(second);
        });
        second.Show(rt::vbModal);
    } else {
        second.Show();
        QWidget* w = rt::qt::formWindow(second);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        openBox();
        second.Unload();
    }
    ASSERT_FALSE(box.isNull());
    EXPECT_EQ(box.size(), QSize(200, 133));
    // It belongs to the window it is centred over.
    EXPECT_EQ(parent, ownerWindow);
    if (screen.contains(owner)) {
        EXPECT_LE(std::abs(box.center().x() - owner.center().x()), 1) << row.name;
        EXPECT_LE(std::abs(box.center().y() - owner.center().y()), 1) << row.name;
    }
    EXPECT_TRUE(screen.contains(box)) << box.x() << "," << box.y();
    rt::form<frmFirst>().unload();
    rt::releaseUnloadedForms();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CentredOverOwner,
    testing::Values(OwnerRow{"OverTheModalWindowItWasOpenedFrom", true, 6000, 3000},
                    OwnerRow{"OverTheActiveWindow", false, 6000, 3000},
                    OwnerRow{"KeptOnTheScreenBesideAnOwnerAtItsCorner", false, -2000, -1500}),
    [](const testing::TestParamInfo<OwnerRow>& info) { return info.param.name; });

} // namespace
