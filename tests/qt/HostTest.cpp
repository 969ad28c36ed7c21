#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "runtime/core/UiThread.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/Timer.h"
#include "runtime/forms/UserInput.h"
#include "tests/qt/QtViewFixture.h"
#include "tests/support/TestSupport.h"

namespace rt::test {
namespace {

TEST_F(QtViewTest, ModalFormBlocksOtherWindowsAndReturnsWhenHidden) {
    SampleForm& owner = showSample();
    SampleForm dialog;
    bool sawModal = false, ownerBlocked = false;
    QTimer::singleShot(0, [&] {
        QWidget* win = qt::formWindow(dialog);
        sawModal = win && QApplication::activeModalWidget() == win;
        try {
            UserInput::click(owner.cmdStart);
        } catch (const ScriptFailure&) {
            ownerBlocked = true;
        }
        dialog.Hide();
    });
    dialog.Show(vbModal);
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(ownerBlocked);
    EXPECT_EQ(qt::formWindow(dialog), nullptr);
    dialog.Unload();
}

struct BoxRow {
    std::string name;
    int buttons;
    QMessageBox::StandardButton press;
    QMessageBox::Icon icon;
    int answer;
};

class MessageBoxTest : public QtViewTest, public testing::WithParamInterface<BoxRow> {};

TEST_P(MessageBoxTest, ShowsTheExactTextAndReturnsThePressedButton) {
    const BoxRow& row = GetParam();
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::function<void()> press = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, press);
            return;
        }
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->button(row.press)->click();
    };
    QTimer::singleShot(0, press);
    int answer = MsgBox("Stop listening?\nThe microphone is released.", row.buttons, "Quibo");
    EXPECT_EQ(answer, row.answer);
    EXPECT_EQ(text, "Stop listening?\nThe microphone is released.");
    EXPECT_EQ(title, "Quibo");
    EXPECT_EQ(icon, row.icon);
}

INSTANTIATE_TEST_SUITE_P(Buttons, MessageBoxTest,
                         testing::Values(BoxRow{"OkInformation", vbOKOnly + vbInformation,
                                                QMessageBox::Ok, QMessageBox::Information, vbOK},
                                         BoxRow{"CancelCritical", vbOKCancel + vbCritical,
                                                QMessageBox::Cancel, QMessageBox::Critical,
                                                vbCancel},
                                         BoxRow{"YesQuestion", vbYesNo + vbQuestion,
                                                QMessageBox::Yes, QMessageBox::Question, vbYes},
                                         BoxRow{"NoExclamation", vbYesNo + vbExclamation,
                                                QMessageBox::No, QMessageBox::Warning, vbNo}),
                         RowName());

TEST_F(QtViewTest, TimersRunOnTheRealClockAndPostedWorkRuns) {
    SampleForm& f = showSample();
    Timer tmr(f, "tmrTick", 20);
    int ticks = 0;
    tmr.TimerEvent.connect([&] { ++ticks; });
    std::atomic<bool> ran{false};
    std::thread poster([&] { rt::uithread::post([&] { ran = true; }); });
    poster.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3 && ran; }, 2000));
    tmr.setEnabled(false);
}

// The form's handle is its real window's from load to unload, hidden or not,
// so the desktop layer and the program mean the same window; unloaded, the
// form has its own handle back and the window is gone.
TEST_F(QtViewTest, FormHandleIsItsRealWindowsFromLoadToUnload) {
    form = std::make_unique<SampleForm>();
    HWND own = form->hWnd();
    form->Show();
    QWidget* shown = window();
    ASSERT_NE(shown, nullptr);
    HWND real = static_cast<HWND>(shown->winId());
    EXPECT_NE(real, own);
    EXPECT_EQ(form->hWnd(), real);
    form->Hide();
    EXPECT_EQ(form->hWnd(), real);

    ASSERT_TRUE(form->Unload());
    EXPECT_EQ(form->hWnd(), own);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(w->windowTitle().toStdString(), "Sample window");
}

TEST_F(QtViewTest, EventLoopEndsWhenTheLastFormIsUnloaded) {
    SampleForm& f = showSample();
    QTimer::singleShot(20, [&] { UserInput::closeForm(f); });
    EXPECT_EQ(qt::runEventLoop(), 0);
    EXPECT_FALSE(f.Loaded());
}

} // namespace
} // namespace rt::test
