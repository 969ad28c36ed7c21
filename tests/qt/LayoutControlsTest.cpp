// The layout library's controls in real windows: each is a widget that holds
// the widgets of what it contains, paints without being asked, takes the
// user's mouse and keys in its own twips, and its pages and About box open
// as the windows they are.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyFrame.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/PaneHost.h"
#include "tests/support/TestSupport.h"

namespace rt::test {
namespace {

// A container that covers the client area, as Quibo's windows hold theirs.
class StretchHost : public Form {
public:
    StretchHost() : Form("frmStretchHost", "Stretch host") {
        Move(600, 600, 4800 + 120, 3600 + 510);
        str.Move(0, 0, 4800, 3600);
        txtName.setContainer(&str);
        lblName.setContainer(&str);
        txtName.Move(480, 360, 960, 720);
        lblName.Move(480, 1200, 1920, 300);
        txtName.setText("stretched");
    }
    void Form_Resize() override { str.Move(0, 0, ScaleWidth(), ScaleHeight()); }

    ControlSite str{*this, "strMain", "tlvFormControls.StretchContainer"};
    TextBox txtName{*this, "txtName"};
    Label lblName{*this, "lblName", "Follows the container"};
};

DispatchPtr unowned(Dispatch& object) {
    return DispatchPtr(DispatchPtr(), &object);
}

QRect globalRect(const QWidget& w) {
    return QRect(w.mapToGlobal(QPoint(0, 0)), w.size());
}

class LayoutControlsTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = uniqueTempDir("qtlayout");
        registry::setFolder(m_dir.string());
        components::registerLibrary(TLV_LIBRARY);
    }
    void TearDown() override {
        for (auto& form : m_forms)
            if (form->Loaded())
                form->Unload();
        m_forms.clear();
        QApplication::processEvents();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    template <class F> F* show() {
        auto form = std::make_unique<F>();
        F* shown = form.get();
        m_forms.push_back(std::move(form));
        shown->Show();
        QApplication::processEvents();
        return shown;
    }
    static QWidget* view(const Form& form, const Control& control) {
        QWidget* win = qt::formWindow(form);
        return win ? win->findChild<QWidget*>(QString::fromStdString(control.Name())) : nullptr;
    }
    // Where the user's input lands on a library control.
    static QWidget* surface(const Form& form, const Control& site) {
        QWidget* w = view(form, site);
        return w ? w->findChild<QWidget*>("surface", Qt::FindDirectChildrenOnly) : nullptr;
    }
    // The events a library control raises from now on, by dispatch id.
    static std::shared_ptr<std::vector<DispId>> spy(ControlSite& site) {
        auto seen = std::make_shared<std::vector<DispId>>();
        site.object()->advise([seen](DispId id, std::span<Variant>) { seen->push_back(id); });
        return seen;
    }

private:
    std::vector<std::unique_ptr<Form>> m_forms;
    std::filesystem::path m_dir;
};

TEST_F(LayoutControlsTest, ContainedControlsSitInsideTheirContainersOnScreen) {
    auto* form = show<PaneHost>();
    ASSERT_NE(form->pnc.object(), nullptr);
    // The show painted the container: it laid its panes out.
    EXPECT_EQ(form->paneB.Width(), 4800 - 2050);

    QWidget* pnc = view(*form, form->pnc);
    ASSERT_NE(pnc, nullptr);
    EXPECT_EQ(pnc->mapTo(qt::formWindow(*form), QPoint(0, 0)), QPoint(16, 24));
    for (auto [pane, label] : {std::pair{&form->paneA, &form->lblA}, {&form->paneB, &form->lblB}}) {
        SCOPED_TRACE(pane->Name());
        QWidget* paneView = view(*form, *pane);
        QWidget* labelView = view(*form, *label);
        ASSERT_TRUE(paneView && labelView);
        EXPECT_TRUE(globalRect(*pnc).contains(globalRect(*paneView)));
        EXPECT_TRUE(globalRect(*paneView).contains(globalRect(*labelView)));
        // The label's own place inside its pane (whose border is one pixel).
        EXPECT_EQ(labelView->mapTo(paneView, QPoint(0, 0)), QPoint(1 + 8, 1 + 8));
        EXPECT_TRUE(labelView->isVisible());
    }

    // Hiding a pane hides what it holds; the container hides both.
    form->paneB.setVisible(false);
    EXPECT_FALSE(view(*form, form->lblB)->isVisible());
    EXPECT_TRUE(view(*form, form->lblA)->isVisible());
    form->paneB.setVisible(true);
    EXPECT_TRUE(view(*form, form->lblB)->isVisible());
    form->pnc.setVisible(false);
    EXPECT_FALSE(view(*form, form->lblA)->isVisible());
    EXPECT_FALSE(view(*form, form->lblB)->isVisible());
}

TEST_F(LayoutControlsTest, APaneHostIsDrawnWithItsPanesAndSavedAsAPicture) {
    auto* form = show<PaneHost>();
    form->paneA.let("BackColor", Variant(int32_t{0x00FFE0C0}));
    QImage picture = qt::formWindow(*form)->grab().toImage();
    ASSERT_TRUE(picture.save(QUIBO_QT_PICTURES "/pane-host.png"));
    // The pane's own back colour fills it; the label's text lies on it.
    QWidget* paneA = view(*form, form->paneA);
    QPoint inside = paneA->mapTo(qt::formWindow(*form), QPoint(paneA->width() - 5, 60));
    EXPECT_EQ(picture.pixelColor(inside), QColor(0xC0, 0xE0, 0xFF));
}

TEST_F(LayoutControlsTest, AMouseDragOnTheGapMovesTheBoundaryAsTheModelDoes) {
    // The gap lies between 2000 and 2050 twips; the press lands at 134 px.
    struct Row {
        const char* name;
        int travel;      // pixels
        float prevWidth; // twips after the release
        float nextLeft;  // twips after the release
    };
    const Row rows[] = {
        {"Right", 40, 134 * 15 + 600, 134 * 15 + 600 + 50},
        {"LeftPastTheMinimum", -133, 100, 150},
        // The next pane keeps Max(MinSize, Spacing) less Spacing: 50.
        {"RightPastTheFarEdge", 200, 4800 - 100, 4800 - 50},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* form = show<PaneHost>();
        QWidget* gap = surface(*form, form->pnc);
        ASSERT_NE(gap, nullptr);
        EXPECT_EQ(gap->cursor().shape(), Qt::SizeHorCursor);
        EXPECT_EQ(view(*form, form->paneA)->cursor().shape(), Qt::ArrowCursor);
        const QPoint press(134, 50);
        QTest::mousePress(gap, Qt::LeftButton, {}, press);
        QWidget* bar = gap->findChild<QWidget*>("picSizer");
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->isVisible());
        QTest::mouseMove(gap, press + QPoint(row.travel, 0));
        // The bar follows within the limits, in front of the panes.
        EXPECT_EQ(bar->x(), static_cast<int>(row.prevWidth / 15 + 0.5f));
        EXPECT_EQ(bar->width(), 6);
        EXPECT_EQ(bar->height(), gap->height());
        QTest::mouseRelease(gap, Qt::LeftButton, {}, press + QPoint(row.travel, 0));
        EXPECT_EQ(form->paneA.Width(), row.prevWidth);
        EXPECT_EQ(form->paneB.Left(), row.nextLeft);
        EXPECT_EQ(form->paneB.Left() + form->paneB.Width(), 2050 + 2750);
        EXPECT_TRUE(!gap->findChild<QWidget*>("picSizer") ||
                    !gap->findChild<QWidget*>("picSizer")->isVisible());
        // The views follow the new boundary.
        EXPECT_EQ(view(*form, form->paneA)->width(), static_cast<int>(row.prevWidth / 15 + 0.5f));
        form->Unload();
    }
}

// Turned off through its own Enabled, a pane or a container takes no input,
// and neither does what it holds: the model refuses it, and the view's
// widgets are disabled, so a real click raises nothing.
TEST_F(LayoutControlsTest, ADisabledLibraryControlTakesNoInput) {
    struct Row {
        const char* disabled; // whose Enabled is turned off
        const char* site;     // the library control the input is for
        const char* target;   // where the user acts
    };
    const Row rows[] = {
        {"paneA", "paneA", "paneA"},
        {"paneA", "paneA", "lblA"},
        {"pncMain", "pncMain", "pncMain"},
        {"pncMain", "paneA", "paneA"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.disabled) + " off, acting on " + row.target);
        auto* form = show<PaneHost>();
        auto& off = dynamic_cast<ControlSite&>(*form->control(row.disabled));
        off.let("Enabled", Variant(false));
        auto& site = dynamic_cast<ControlSite&>(*form->control(row.site));
        Control& target = *form->control(row.target);
        auto seen = spy(site);
        int clicks = 0;
        target.Click.connect([&] { ++clicks; });
        const float gapX = 2020;
        float x = &site == &form->pnc ? gapX : 100;
        EXPECT_THROW(UserInput::click(target), ScriptFailure);
        EXPECT_THROW(UserInput::mouseDown(target, vbLeftButton, 0, x, 100), ScriptFailure);
        EXPECT_THROW(UserInput::keyDown(target, 65), ScriptFailure);
        EXPECT_THROW(UserInput::keyPress(target, 'a'), ScriptFailure);

        QWidget* w = &target == &site ? surface(*form, site) : view(*form, target);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->isEnabled());
        QPoint at(static_cast<int>(x / 15), 5);
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        QTest::mousePress(w, Qt::LeftButton, {}, at);
        QTest::mouseMove(w, at + QPoint(30, 0));
        QTest::mouseRelease(w, Qt::LeftButton, {}, at + QPoint(30, 0));
        QTest::keyClick(w, Qt::Key_A);
        EXPECT_TRUE(seen->empty());
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(form->paneA.Width(), 2000);

        // Turned on again, the same input arrives.
        off.let("Enabled", Variant(true));
        EXPECT_TRUE(w->isEnabled());
        UserInput::click(target);
        EXPECT_EQ(clicks, 1);
        form->Unload();
    }
}

// A pane hands the user's real input on in its own twips, KeyPress included.
TEST_F(LayoutControlsTest, APaneHearsTheUsersMouseAndKeysInItsOwnTwips) {
    auto* form = show<PaneHost>();
    std::vector<std::string> raised;
    form->paneB.object()->advise([&](DispId id, std::span<Variant> args) {
        std::string text = std::to_string(id) + "(";
        for (size_t i = 0; i < args.size(); ++i)
            text += (i ? "," : "") + args[i].toString();
        raised.push_back(text + ")");
    });
    QWidget* pane = surface(*form, form->paneB);
    ASSERT_NE(pane, nullptr);
    QTest::mouseClick(pane, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClick(pane, 'B', Qt::ShiftModifier);
    EXPECT_EQ(raised, (std::vector<std::string>{"-605(1,0,300,150)", "-607(1,0,300,150)", "-600()",
                                                "-602(16,1)", "-602(66,1)", "-603(66)",
                                                "-604(66,1)", "-604(16,0)"}));
}

TEST_F(LayoutControlsTest, AStretchHostResizedByTheUserMovesItsControlsAsTheModelSays) {
    auto* form = show<StretchHost>();
    QWidget* win = qt::formWindow(*form);
    ASSERT_NE(win, nullptr);
    // The window system resizes the window: twice as wide, half as high.
    win->windowHandle()->resize(640, 120);
    QApplication::processEvents();
    EXPECT_EQ(form->str.Width(), 9600);
    EXPECT_EQ(form->str.Height(), 1800);
    EXPECT_EQ(form->txtName.Left(), 960);
    EXPECT_EQ(form->txtName.Top(), 180);
    EXPECT_EQ(form->txtName.Width(), 1920);
    EXPECT_EQ(form->txtName.Height(), 360);
    QWidget* txt = view(*form, form->txtName);
    ASSERT_NE(txt, nullptr);
    EXPECT_EQ(txt->geometry(), QRect(64, 12, 128, 24));
    EXPECT_EQ(txt->parentWidget()->parentWidget(), view(*form, form->str));
    ASSERT_TRUE(win->grab().save(QUIBO_QT_PICTURES "/stretch-host.png"));
}

// The pages of a control open inside one window, below its tabs, and the
// frame's buttons apply what the user typed on the page shown.
TEST_F(LayoutControlsTest, APropertyFrameShowsItsPageInsideItsOneWindow) {
    auto* form = show<PaneHost>();
    PropertyFrame frame({unowned(form->pnc)});
    frame.Show();
    QApplication::processEvents();
    QWidget* win = qt::formWindow(frame);
    ASSERT_NE(win, nullptr);
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        windows += top->isVisible() && top != qt::formWindow(*form);
    EXPECT_EQ(windows, 1);

    // Only the page on show shows; the others wait hidden in the same window.
    ASSERT_EQ(frame.pages().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        QWidget* page = win->findChild<QWidget*>(QString::fromStdString(frame.pages()[i]->Name()));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->isVisible(), i == frame.currentPage()) << i;
    }
    auto* spacing = win->findChild<QLineEdit*>("txtSpacing");
    ASSERT_NE(spacing, nullptr);
    EXPECT_TRUE(spacing->isVisible());
    EXPECT_EQ(spacing->window(), win);
    EXPECT_TRUE(globalRect(*win).contains(globalRect(*spacing)));
    auto* tabs = win->findChild<QWidget*>("tbrTabs");
    ASSERT_NE(tabs, nullptr);
    EXPECT_GE(spacing->mapTo(win, QPoint(0, 0)).y(), tabs->geometry().bottom());
    ASSERT_TRUE(win->grab().save(QUIBO_QT_PICTURES "/property-frame.png"));

    spacing->selectAll();
    QTest::keyClicks(spacing, "200");
    auto* apply = win->findChild<QPushButton*>("cmdApply");
    ASSERT_NE(apply, nullptr);
    EXPECT_TRUE(apply->isEnabled());
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(form->pnc.get("Spacing").toInteger(), 200);
    EXPECT_FALSE(apply->isEnabled());
    QTest::mouseClick(win->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(frame.Loaded());
    if (frame.Loaded())
        frame.Unload();
}

TEST_F(LayoutControlsTest, TheAboutBoxIsAFixedDialogCentredOverTheWindowItWasOpenedFrom) {
    auto* form = show<PaneHost>();
    bool inspected = false;
    QTimer::singleShot(0, [&] {
        QWidget* about = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmAbout" && top->isVisible())
                about = top;
        if (!about)
            return;
        inspected = true;
        Qt::WindowFlags flags = about->windowFlags();
        // A tool window, which window managers keep off the task bar.
        EXPECT_EQ(about->windowType(), Qt::Tool);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_EQ(about->minimumSize(), about->maximumSize());
        EXPECT_EQ(about->size(), QSize(4560 / 15, 2475 / 15));
        // Centred over the host's window (shown with no owner given, it
        // belongs to the window it was opened from), outer frames included:
        // the host's is 5400 x 3600 twips, the box's 4680 x 2985.
        QRect host(qt::formWindow(*form)->frameGeometry().topLeft(), QSize(360, 240));
        QRect box(about->frameGeometry().topLeft(), QSize(312, 199));
        EXPECT_LE(std::abs(box.center().x() - host.center().x()), 1);
        EXPECT_LE(std::abs(box.center().y() - host.center().y()), 1);
        EXPECT_NE(host.center(), QGuiApplication::primaryScreen()->geometry().center());
        QTest::mouseClick(about->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
    });
    form->pnc.call("ShowAbout");
    EXPECT_TRUE(inspected);
}

// Two placement controls: one on a running form, one on a form a designer
// edits.
class LocatorHost : public Form {
public:
    LocatorHost() : Form("frmLocatorHost", "Locator host") {
        running.Move(120, 120, 600, 600);
        designed.Move(960, 120, 600, 600);
        designed.setUserMode(false);
    }
    ControlSite running{*this, "flocRunning", "tlvFormControls.FormLocator"};
    ControlSite designed{*this, "flocDesigned", "tlvFormControls.FormLocator"};
};

TEST_F(LayoutControlsTest, AFormLocatorShowsOnlyToADesigner) {
    auto* form = show<LocatorHost>();
    ASSERT_NE(form->running.object(), nullptr);
    QWidget* running = view(*form, form->running);
    QWidget* designed = view(*form, form->designed);
    ASSERT_TRUE(running && designed);
    EXPECT_FALSE(running->isVisible());
    EXPECT_TRUE(designed->isVisible());
    // The host still sees it as it placed it.
    EXPECT_TRUE(form->running.Visible());
}

// A page's label that reaches under the editor beside it: a click where
// they overlap is the editor's, as on a platform where a label is drawn on
// its form beneath the windows of the controls.
struct OverlapRow {
    const char* name;
    enum Host { Stretch, Pane, Panes } host;
    const char* page;
    const char* editor;
    const char* label;
};

void PrintTo(const OverlapRow& row, std::ostream* os) {
    *os << row.name;
}

class PageLabelOverlap : public LayoutControlsTest,
                         public testing::WithParamInterface<OverlapRow> {};

TEST_P(PageLabelOverlap, AClickWhereALabelOverlapsAnEditorIsTheEditors) {
    const OverlapRow& row = GetParam();
    DispatchPtr selected;
    switch (row.host) {
    case OverlapRow::Stretch: selected = unowned(show<StretchHost>()->str); break;
    case OverlapRow::Pane: selected = unowned(show<PaneHost>()->paneA); break;
    case OverlapRow::Panes: selected = unowned(show<PaneHost>()->pnc); break;
    }
    PropertyFrame frame({selected});
    frame.Show();
    for (size_t i = 0; i < frame.pages().size(); ++i)
        if (frame.pages()[i]->Name() == row.page)
            frame.showPage(static_cast<int>(i));
    QApplication::processEvents();
    QWidget* win = qt::formWindow(frame);
    ASSERT_NE(win, nullptr);
    QWidget* page = win->findChild<QWidget*>(row.page);
    ASSERT_NE(page, nullptr);
    auto* editor = page->findChild<QWidget*>(row.editor);
    auto* label = page->findChild<QLabel*>(row.label);
    ASSERT_TRUE(editor && label);
    QRect both = globalRect(*editor).intersected(globalRect(*label));
    ASSERT_FALSE(both.isEmpty());
    QPoint at = both.center();
    QWidget* hit = win->childAt(win->mapFromGlobal(at));
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == editor || editor->isAncestorOf(hit)) << hit->objectName().toStdString();

    auto* check = qobject_cast<QCheckBox*>(editor);
    Qt::CheckState before = check ? check->checkState() : Qt::Unchecked;
    QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFromGlobal(at));
    auto* apply = win->findChild<QPushButton*>("cmdApply");
    ASSERT_NE(apply, nullptr);
    if (check) {
        EXPECT_NE(check->checkState(), before);
        EXPECT_TRUE(apply->isEnabled());
    }
    if (frame.Loaded())
        frame.Unload();
}

INSTANTIATE_TEST_SUITE_P(Pages, PageLabelOverlap,
                         testing::Values(OverlapRow{"StretchContainerEnabled", OverlapRow::Stretch,
                                                    "ppStretchContainer", "chkEnabled", "Label1"},
                                         OverlapRow{"PaneAreaEnabled", OverlapRow::Pane,
                                                    "ppPaneArea", "chkEnabled", "Label2"},
                                         OverlapRow{"PaneContainerSpacing", OverlapRow::Panes,
                                                    "ppPaneContainer", "txtSpacing", "lblSpacing"}),
                         [](const testing::TestParamInfo<OverlapRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace rt::test
