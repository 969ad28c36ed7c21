// What a view hears from the forms model: a load before the form's load
// handler runs, every change including an unload, and a real window's
// handle that stands for the form's own while the view has one.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/forms/FormRef.h"
#include "runtime/forms/ScriptedUser.h"

namespace rt {
namespace {

// A scripted user that also plays a view: it notes what it hears and gives
// each loaded form a window handle of its own.
class RecordingView : public ScriptedUser {
public:
    static constexpr HWND kNative = 0x4200001;

    void formLoaded(Form& form) override {
        log.push_back("loaded " + form.Name());
        m_window = &form;
    }
    void formChanged(Form& form) override {
        log.push_back(std::string(form.Loaded() ? "loaded" : "unloaded") + " " +
                      (form.Visible() ? "shown" : "hidden"));
        // A view drops the window of a form that is gone.
        if (!form.Loaded() && m_window == &form)
            m_window = nullptr;
    }
    HWND nativeWindow(const Form& form) const override { return m_window == &form ? kNative : 0; }

    std::vector<std::string> log;

private:
    const Form* m_window = nullptr;
};

class frmWatched : public Form {
public:
    frmWatched() : Form("frmWatched", "Watched") {}
    void Form_Load() override { handleAtLoad = hWnd(); }
    HWND handleAtLoad = 0;
};

class ViewNotificationTest : public testing::Test {
protected:
    ViewNotificationTest() : view(std::make_shared<RecordingView>()) { setFormsHost(view); }
    ~ViewNotificationTest() override {
        form<frmWatched>().unload();
        releaseUnloadedForms();
        ScriptedUser::install();
    }

    std::shared_ptr<RecordingView> view;
};

TEST_F(ViewNotificationTest, LoadHandlerAlreadySeesTheViewsWindow) {
    frmWatched& f = form<frmWatched>().get();
    EXPECT_EQ(f.handleAtLoad, RecordingView::kNative);
    EXPECT_EQ(f.hWnd(), RecordingView::kNative);
    ASSERT_FALSE(view->log.empty());
    EXPECT_EQ(view->log.front(), "loaded frmWatched");
}

struct UnloadCase {
    const char* name;
    bool shown;
};

class UnloadNotificationTest : public ViewNotificationTest,
                               public testing::WithParamInterface<UnloadCase> {};

// A form loaded but never shown changes no visibility when it unloads; the
// view must still hear of it, or it keeps a window for a form that is gone.
TEST_P(UnloadNotificationTest, ViewHearsTheUnloadAndTheFormGetsItsOwnHandleBack) {
    frmWatched& f = form<frmWatched>().get();
    if (GetParam().shown)
        f.Show();
    HWND own = 0;
    {
        // The handle the model keeps is the desktop layer's own window.
        std::shared_ptr<FormsHost> plain = ScriptedUser::install();
        own = f.hWnd();
        setFormsHost(view);
    }
    ASSERT_NE(own, RecordingView::kNative);
    view->log.clear();

    EXPECT_TRUE(form<frmWatched>().unload());
    ASSERT_FALSE(view->log.empty());
    EXPECT_EQ(view->log.back(), "unloaded hidden");
    EXPECT_EQ(f.hWnd(), own);
    EXPECT_TRUE(desktop().isWindow(own));
}

INSTANTIATE_TEST_SUITE_P(Forms, UnloadNotificationTest,
                         testing::Values(UnloadCase{"Shown", true}, UnloadCase{"Hidden", false}),
                         [](const testing::TestParamInfo<UnloadCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace rt
