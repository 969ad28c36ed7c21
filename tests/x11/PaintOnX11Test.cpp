// The Qt view on a real X server with a window manager, read back from the
// server's own pixels: a window the program shows never shows black (or what
// lay beneath) before its first paint and then shows its controls by itself, and the layout
// controls paint again when another program's window that covered them goes away. Every picture
// read is saved beside the test binary.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/PropertyFrame.h"
#include "runtime/forms/UserControl.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/PaneHost.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmAbout.h"
#include "voicecommand/frmApp.h"

// Xlib after Qt: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "tests/x11/XServer.h"

namespace {

// The toolkit connects to one display for the life of the process: one
// server and window manager serve every test of this binary.
XServer* g_server = nullptr;

class PaintEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (std::system("command -v Xvfb >/dev/null && command -v openbox >/dev/null") != 0)
            return;
        m_server = std::make_unique<XServer>(true);
        if (!m_server->ok())
            return;
        g_server = m_server.get();
        qputenv("QT_QPA_PLATFORM", "xcb");
        rt::qt::installQtView(m_argc, m_argv);
    }
    void TearDown() override {
        if (g_server)
            rt::qt::shutdownQtView();
        g_server = nullptr;
        m_server.reset();
    }

private:
    std::unique_ptr<XServer> m_server;
    int m_argc = 1;
    char m_name[16] = "x11_paint_tests";
    char* m_argv[2] = {m_name, nullptr};
};

[[maybe_unused]] testing::Environment* const kEnvironment =
    testing::AddGlobalTestEnvironment(new PaintEnvironment);

// Long enough for a machine busy with other builds and tests.
constexpr int kPatienceMs = 15000;

Window nativeOf(const QWidget& window) {
    return static_cast<Window>(window.winId());
}

bool viewable(Window w) {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(g_server->display(), w, &attrs) && attrs.map_state == IsViewable;
}

// What the screen shows where the window is (its client area), as a person
// sees it: read from the root window, so whatever covers it shows too.
QImage onScreen(Window w) {
    Display* d = g_server->display();
    XWindowAttributes attrs{};
    int x = 0, y = 0;
    Window child = 0;
    if (!XGetWindowAttributes(d, w, &attrs) ||
        !XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child))
        return {};
    XImage* image =
        XGetImage(d, DefaultRootWindow(d), x, y, attrs.width, attrs.height, AllPlanes, ZPixmap);
    if (!image)
        return {};
    QImage out(attrs.width, attrs.height, QImage::Format_RGB32);
    for (int row = 0; row < attrs.height; ++row)
        for (int col = 0; col < attrs.width; ++col)
            out.setPixel(col, row, 0xff000000u | static_cast<QRgb>(XGetPixel(image, col, row)));
    XDestroyImage(image);
    return out;
}

// The share of pixels that are the window's own: its background or what
// it draws there, not black nor the window that lay beneath.
double ownShare(const QImage& screen, const QImage& drawn, QColor background) {
    if (screen.isNull() || screen.size() != drawn.size())
        return 0;
    long own = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            QRgb pixel = screen.pixel(x, y) & 0xffffffu;
            own +=
                pixel == (background.rgb() & 0xffffffu) || pixel == (drawn.pixel(x, y) & 0xffffffu);
        }
    return double(own) / (double(screen.width()) * screen.height());
}

// The share of pixels the screen shows as the window draws itself.
double sameShare(const QImage& screen, const QImage& drawn) {
    if (screen.isNull() || screen.size() != drawn.size())
        return 0;
    long same = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if ((screen.pixel(x, y) & 0xffffffu) == (drawn.pixel(x, y) & 0xffffffu))
                ++same;
    return double(same) / (double(screen.width()) * screen.height());
}

// Whether the screen shows the window's whole drawing. What it draws is
// rendered apart for the comparison; nothing on the screen is redrawn.
bool showsItsDrawing(QWidget& window) {
    return sameShare(onScreen(nativeOf(window)), window.grab().toImage()) > 0.97;
}

// Waits with the program's event loop running, as it runs for a user.
bool waitWithEvents(const std::function<bool()>& done, int ms = kPatienceMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents();
        if (done())
            return true;
        QThread::msleep(10);
    }
    return done();
}

void save(const QImage& image, const std::string& name) {
    if (!image.isNull())
        image.save(QString::fromStdString(std::string(PICTURES) + "/" + name + ".png"));
}

QWidget* shownWindow(const std::string& objectName, const QWidget* other = nullptr) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != other && top->isVisible() && top->objectName().toStdString() == objectName)
            return top;
    return nullptr;
}

// The program's windows in a program folder of their own, with the layout
// library registered as the program's start registers it.
class PaintOnX11 : public testing::Test {
protected:
    void SetUp() override {
        if (!g_server)
            GTEST_SKIP() << "Xvfb or openbox is not installed";
        m_registry = rt::test::uniqueTempDir("x11-paint-registry");
        rt::registry::setFolder(m_registry.string());
        rt::components::registerLibrary(TLV_LIBRARY);
        m_folder = std::make_unique<rt::test::ProgramFolder>();
        m_folder->makeVocabFolder();
    }
    void TearDown() override {
        if (!g_server)
            return;
        rt::form<frmAbout>().unload();
        rt::form<frmApp>().unload();
        Program::DiscardForms();
        Program::reset();
        QApplication::processEvents();
        m_folder.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_registry, ec);
    }

    std::unique_ptr<rt::test::ProgramFolder> m_folder;
    std::filesystem::path m_registry;
};

// A window opened as the program opens it. `before` shows what it opens
// from; `open` returns when the window is closed again (a modal one).
struct Opening {
    const char* name;
    const char* form;
    std::function<void()> before;
    std::function<void()> open;
};

class NewWindowOnX11 : public PaintOnX11, public testing::WithParamInterface<Opening> {};

// The window is looked at while the program is held from painting (as a
// busy program is), once the server has mapped it: it shows its background,
// neither black nor the window beneath. Then, with the event loop running and nothing asked to
// redraw, its controls are there.
TEST_P(NewWindowOnX11, ShowsItsBackgroundAtOnceAndItsControlsWhenExposed) {
    const Opening& opening = GetParam();
    if (opening.before)
        opening.before();
    QWidget* from =
        rt::form<frmApp>().isLoaded() ? rt::qt::formWindow(rt::form<frmApp>().get()) : nullptr;
    if (from) {
        EXPECT_TRUE(waitWithEvents([&] { return showsItsDrawing(*from); }));
    }
    bool found = false, mapped = false, drawn = false;
    double own = 0;
    QElapsedTimer clock;
    clock.start();
    std::function<void()> look = [&] {
        QWidget* window = shownWindow(opening.form, from);
        if (!window && clock.elapsed() < kPatienceMs) {
            QTimer::singleShot(20, look);
            return;
        }
        if ((found = window != nullptr)) {
            // No event of the program's is handled meanwhile.
            mapped = XServer::waitFor([&] { return viewable(nativeOf(*window)); }, kPatienceMs);
            QImage first = onScreen(nativeOf(*window));
            save(first, std::string(opening.name) + "-mapped");
            own = ownShare(first, window->grab().toImage(),
                           window->palette().color(QPalette::Window));
            drawn = waitWithEvents([&] { return showsItsDrawing(*window); });
            save(onScreen(nativeOf(*window)), std::string(opening.name) + "-drawn");
            window->close();
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    };
    QTimer::singleShot(0, look);
    opening.open();
    ASSERT_TRUE(found) << opening.form << " was not shown";
    EXPECT_TRUE(mapped);
    EXPECT_GT(own, 0.9) << "before its first paint the window shows what is not its own";
    EXPECT_TRUE(drawn) << "the window does not show its controls";
}

// Framed by a real window manager, whose frame is not the one the design
// allowed for, the layout library's About box keeps the client area of its
// design: 4560 x 2475 twips, 304 x 165 pixels.
TEST_F(PaintOnX11, TheLayoutLibrarysAboutBoxKeepsItsDesignsClientAreaInItsRealFrame) {
    rt::form<frmApp>()->Show();
    QWidget* from = rt::qt::formWindow(rt::form<frmApp>().get());
    QMargins frame;
    QPoint boxCentre, hostCentre;
    XWindowAttributes attrs{};
    QElapsedTimer clock;
    clock.start();
    std::function<void()> look = [&] {
        QWidget* window = shownWindow("frmAbout", from);
        if (!window && clock.elapsed() < kPatienceMs) {
            QTimer::singleShot(20, look);
            return;
        }
        if (window) {
            waitWithEvents([&] { return !window->windowHandle()->frameMargins().isNull(); });
            // The frame learnt, the window is sized again.
            waitWithEvents([] { return false; }, 1500);
            frame = window->windowHandle()->frameMargins();
            XGetWindowAttributes(g_server->display(), nativeOf(*window), &attrs);
            boxCentre = window->frameGeometry().center();
            hostCentre = from->frameGeometry().center();
            window->close();
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    };
    QTimer::singleShot(0, look);
    rt::form<frmApp>()->strApp.call("ShowAbout");
    ASSERT_FALSE(frame.isNull()) << "the window manager framed no About box";
    EXPECT_EQ(attrs.width, 304);
    EXPECT_EQ(attrs.height, 165);
    // Still centred over the window it was opened from, frames included.
    EXPECT_LE(std::abs(boxCentre.x() - hostCentre.x()), 1)
        << boxCentre.x() << " " << hostCentre.x();
    EXPECT_LE(std::abs(boxCentre.y() - hostCentre.y()), 1)
        << boxCentre.y() << " " << hostCentre.y();
}

// The menu item of the window, as a click on it chooses it.
void chooseInWindow(const rt::Form& form, const char* item) {
    QWidget* window = rt::qt::formWindow(form);
    QAction* action = window ? window->findChild<QAction*>(item) : nullptr;
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

void showApplicationWindow() {
    rt::form<frmApp>()->Show();
}

INSTANTIATE_TEST_SUITE_P(
    Program, NewWindowOnX11,
    testing::Values(Opening{"ApplicationWindow", "frmApp", nullptr,
                            [] { rt::form<frmApp>()->Show(rt::vbModal); }},
                    Opening{"ProgramAboutBox", "frmAbout", showApplicationWindow,
                            [] { chooseInWindow(rt::form<frmApp>().get(), "mnuAboutQuibo"); }},
                    Opening{"LayoutLibraryAboutBox", "frmAbout", showApplicationWindow,
                            [] { rt::form<frmApp>()->strApp.call("ShowAbout"); }}),
    rt::test::RowName());

// The containers' Paint event, which the library raises on every paint.
constexpr rt::DispId kPaintEvent = 1;

struct Covering {
    const char* name;
    // Shows the form and returns the container whose paints are counted.
    std::function<rt::ControlSite&(std::unique_ptr<rt::Form>&)> show;
};

class UncoveredOnX11 : public PaintOnX11, public testing::WithParamInterface<Covering> {};

// Another client's window is mapped over the container and taken away
// again: the container paints again and the screen shows it whole.
TEST_P(UncoveredOnX11, TheLayoutControlsPaintAgain) {
    std::unique_ptr<rt::Form> owned;
    rt::ControlSite& site = GetParam().show(owned);
    QWidget* window = rt::qt::formWindow(site.parentForm());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitWithEvents([&] { return showsItsDrawing(*window); }));
    ASSERT_NE(site.object(), nullptr);
    auto paints = std::make_shared<int>(0);
    site.object()->advise([paints](rt::DispId id, std::span<rt::Variant>) {
        if (id == kPaintEvent)
            ++*paints;
    });

    Display* d = g_server->display();
    QWidget* view = window->findChild<QWidget*>(QString::fromStdString(site.Name()));
    ASSERT_NE(view, nullptr);
    QPoint at = view->mapToGlobal(QPoint(view->width() / 4, view->height() / 4));
    int width = view->width() / 2, height = view->height() / 2;
    Window cover =
        XCreateSimpleWindow(d, DefaultRootWindow(d), at.x(), at.y(), width, height, 0, 0, 0xff00ff);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = at.x();
    hints.y = at.y();
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(d, cover, &hints);
    XMapRaised(d, cover);
    XSync(d, False);
    auto magenta = [&] {
        QImage now = onScreen(nativeOf(*window));
        long hit = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                hit += (now.pixel(x, y) & 0xffffffu) == 0xff00ffu;
        return hit > long(width) * height / 4;
    };
    bool covered = waitWithEvents(magenta);
    save(onScreen(nativeOf(*window)), std::string(GetParam().name) + "-covered");
    int before = *paints;
    XDestroyWindow(d, cover);
    XSync(d, False);
    bool painted = waitWithEvents([&] { return *paints > before && showsItsDrawing(*window); });
    save(onScreen(nativeOf(*window)), std::string(GetParam().name) + "-uncovered");
    EXPECT_TRUE(covered);
    EXPECT_GT(*paints, before) << "the container did not paint again";
    EXPECT_TRUE(painted);
    if (owned && owned->Loaded())
        owned->Unload();
}

INSTANTIATE_TEST_SUITE_P(
    Layout, UncoveredOnX11,
    testing::Values(Covering{"ApplicationWindowsStretchContainer",
                             [](std::unique_ptr<rt::Form>&) -> rt::ControlSite& {
                                 rt::form<frmApp>()->Show();
                                 return rt::form<frmApp>()->strApp;
                             }},
                    Covering{"PaneContainer",
                             [](std::unique_ptr<rt::Form>& owned) -> rt::ControlSite& {
                                 auto form = std::make_unique<rt::test::PaneHost>();
                                 rt::ControlSite& site = form->pnc;
                                 form->Show();
                                 owned = std::move(form);
                                 return site;
                             }}),
    rt::test::RowName());

// The StretchContainer's page, where the label before the "Enabled" box
// reaches under it: a click of the mouse where they overlap, through the
// X server, ticks the box.
TEST_F(PaintOnX11, AClickWhereAPagesLabelOverlapsItsCheckBoxTicksTheBox) {
    rt::form<frmApp>()->Show();
    rt::PropertyFrame frame({rt::DispatchPtr(rt::DispatchPtr(), &rt::form<frmApp>()->strApp)});
    frame.Show();
    QWidget* win = rt::qt::formWindow(frame);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(waitWithEvents([&] { return viewable(nativeOf(*win)) && showsItsDrawing(*win); }));
    auto* check = win->findChild<QCheckBox*>("chkEnabled");
    auto* label = win->findChild<QWidget*>("Label1");
    ASSERT_TRUE(check && label);
    QRect both = QRect(check->mapToGlobal(QPoint(0, 0)), check->size())
                     .intersected(QRect(label->mapToGlobal(QPoint(0, 0)), label->size()));
    ASSERT_FALSE(both.isEmpty());
    Qt::CheckState before = check->checkState();
    Display* d = g_server->display();
    XTestFakeMotionEvent(d, -1, both.center().x(), both.center().y(), CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    EXPECT_TRUE(waitWithEvents([&] { return check->checkState() != before; }, 5000));
    frame.Unload();
}

} // namespace
