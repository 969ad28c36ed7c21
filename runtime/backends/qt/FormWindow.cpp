#include "runtime/backends/qt/FormWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "runtime/backends/qt/ControlViews.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/backends/qt/StockPictures.h"
#include "runtime/forms/Control.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/UserInput.h"

namespace rt::qt {

namespace {

Qt::WindowStates qtState(int state) {
    switch (state) {
    case vbMinimized: return Qt::WindowMinimized;
    case vbMaximized: return Qt::WindowMaximized;
    default: return Qt::WindowNoState;
    }
}

// The frame the window manager put around the last window it framed: the
// next window is placed by it before it is mapped.
QMargins g_frame;

int menuBarHeight(const QMenuBar* bar) {
    return bar ? bar->sizeHint().height() : 0;
}

// A title bar that no screen shows (at least this much of it) cannot be
// grabbed: such a window is moved onto the screen.
constexpr int kGrabbable = 40;

// The least of a window that can be seen and grabbed, frame included.
constexpr int kUsableWidth = 120;
constexpr int kUsableHeight = 60;

// A rectangle no screen could show usefully (a size edited or saved from
// another desktop) is brought to a usable size: at least the least one, at
// most the screen's. Then its title bar must be seen.
QRect ontoScreen(QRect outer, int titleHeight) {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return outer;
    QRect area = primary->availableGeometry();
    QSize usable(std::clamp(outer.width(), std::min(kUsableWidth, area.width()), area.width()),
                 std::clamp(outer.height(), std::min(kUsableHeight, area.height()), area.height()));
    // A window brought to a usable size is brought wholly onto the screen.
    bool resized = usable != outer.size();
    outer.setSize(usable);
    QRect title(outer.x(), outer.y(), outer.width(), std::max(titleHeight, 1));
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect seen = screen->availableGeometry().intersected(title);
        if (!resized && seen.width() >= std::min(kGrabbable, outer.width()) && seen.height() > 0)
            return outer;
    }
    int x =
        std::clamp(outer.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    int y =
        std::clamp(outer.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    return QRect(x, y, outer.width(), outer.height());
}

// The window's frame and buttons as the form's border style asks. An owned
// window is a dialog at least: only a dialog or tool window tells the
// window manager its owner, which keeps it above that window.
Qt::WindowFlags flagsOf(const Form& form, bool owned) {
    Qt::WindowFlags fixed = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form.MinButton())
        fixed |= Qt::WindowMinimizeButtonHint;
    if (form.MaxButton())
        fixed |= Qt::WindowMaximizeButtonHint;
    // Window managers leave tool windows off the task bar.
    Qt::WindowFlags kind = !form.ShowInTaskbar() ? Qt::Tool : owned ? Qt::Dialog : Qt::Window;
    switch (form.BorderStyle()) {
    case vbBSNone: return kind | Qt::FramelessWindowHint;
    case vbFixedSingle: return kind | fixed;
    case vbFixedDialog:
        return (form.ShowInTaskbar() ? Qt::Dialog : Qt::Tool) | fixed |
               Qt::MSWindowsFixedSizeDialogHint;
    case vbFixedToolWindow:
    case vbSizableToolWindow: return Qt::Tool | fixed;
    // A dialog's default frame lacks the buttons a sizable window has.
    default: return owned ? kind | fixed : kind;
    }
}

bool userSizable(const Form& form) {
    return form.BorderStyle() == vbSizable || form.BorderStyle() == vbSizableToolWindow;
}

} // namespace

FormWindow::FormWindow(Form& form) : m_form(&form), m_client(new QWidget(this)) {
    // Where no window manager frames windows, the window is where it was put.
    m_managed = QGuiApplication::platformName().startsWith(QLatin1String("xcb"));
    m_framed = !m_managed;
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlags(flagsOf(form, false));
    setObjectName(toQt(form.Name()));
    buildMenus();
    // Containers first: a control's view goes inside its container's.
    std::vector<Control*> outerFirst = form.Controls();
    auto depth = [](const Control* c) {
        int d = 0;
        for (; c->Container(); c = c->Container())
            ++d;
        return d;
    };
    std::stable_sort(outerFirst.begin(), outerFirst.end(),
                     [&](const Control* a, const Control* b) { return depth(a) < depth(b); });
    for (Control* control : outerFirst)
        createControlView(*control, *this);
    QPointer<FormWindow> self(this);
    form.Changed.connect([self] {
        if (self && self->m_form)
            self->refresh();
    });
    refresh();
}

FormWindow::~FormWindow() {
    // The control views ask their window for its form while they go; they
    // must go while this is still a FormWindow, not a half-destroyed QWidget.
    m_form = nullptr;
    delete m_menuBar;
    m_menuBar = nullptr;
    delete m_client;
    m_client = nullptr;
}

void FormWindow::belongTo(FormWindow* owner) {
    // A form shown inside another window is part of it, no window of its own.
    if (parentWidget())
        return;
    Qt::WindowFlags flags = flagsOf(*m_form, owner != nullptr);
    if (flags != windowFlags())
        setWindowFlags(flags);
    if (QWindow* handle = windowHandle())
        handle->setTransientParent(owner ? owner->windowHandle() : nullptr);
}

void FormWindow::detach() {
    m_form = nullptr;
}

void FormWindow::buildMenus() {
    for (Control* control : m_form->Controls()) {
        auto* menu = dynamic_cast<Menu*>(control);
        if (!menu || menu->parentMenu())
            continue;
        if (!m_menuBar)
            m_menuBar = new QMenuBar(this);
        if (menu->items().empty()) {
            bindMenu(m_menuBar->addAction(toQt(menu->Caption())), *menu);
        } else {
            QMenu* sub = m_menuBar->addMenu(toQt(menu->Caption()));
            bindMenu(sub->menuAction(), *menu);
            addMenuItems(*sub, *menu);
        }
    }
}

void FormWindow::addMenuItems(QMenu& qmenu, Menu& menu) {
    for (Menu* item : menu.items()) {
        if (item->Caption() == "-") {
            bindMenu(qmenu.addSeparator(), *item);
        } else if (item->items().empty()) {
            bindMenu(qmenu.addAction(toQt(item->Caption())), *item);
        } else {
            QMenu* sub = qmenu.addMenu(toQt(item->Caption()));
            bindMenu(sub->menuAction(), *item);
            addMenuItems(*sub, *item);
        }
    }
}

QAction* FormWindow::bindMenu(QAction* action, Menu& menu) {
    action->setObjectName(toQt(menu.Name()));
    if (!menu.Shortcut().empty())
        action->setShortcut(QKeySequence::fromString(toQt(menu.Shortcut())));
    QPointer<QAction> guard(action);
    QPointer<FormWindow> self(this);
    Menu* item = &menu;
    auto sync = [guard, self, item] {
        if (!guard || !self || !self->m_form)
            return;
        if (!guard->isSeparator())
            guard->setText(toQt(item->Caption()));
        guard->setCheckable(item->Checked());
        guard->setChecked(item->Checked());
        guard->setEnabled(item->Enabled());
        guard->setVisible(item->Visible());
    };
    sync();
    menu.Changed.connect(sync);
    if (menu.items().empty())
        QObject::connect(action, &QAction::triggered, action, [self, item] {
            if (self && self->m_form)
                userAction([item] { UserInput::chooseMenu(*item); });
        });
    return action;
}

// The form's rectangle is the whole window's, frame included: saving and
// restoring placement then use the same rectangle.
void FormWindow::refresh() {
    if (!m_form)
        return;
    m_applying = true;
    setWindowTitle(toQt(m_form->Caption()));
    setWindowIcon(stockPicture(m_form->Icon()));
    int width = toPixelsX(m_form->ScaleWidth());
    int height = toPixelsY(m_form->ScaleHeight()) + menuBarHeight(m_menuBar);
    QRect outer(toPixelsX(m_form->Left()), toPixelsY(m_form->Top()), toPixelsX(m_form->Width()),
                toPixelsY(m_form->Height()));
    // A window inside another keeps its place; a top-level one must be seen.
    QRect placed = parentWidget() ? outer : ontoScreen(outer, g_frame.top());
    width = std::max(1, width + placed.width() - outer.width());
    height = std::max(1, height + placed.height() - outer.height());
    if (userSizable(*m_form) || parentWidget()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(width, height);
    }
    if (windowState() == Qt::WindowNoState) {
        if (g_frame.isNull() || parentWidget()) {
            move(placed.topLeft());
            resize(width, height);
        } else {
            // With the frame known the client goes exactly where it belongs.
            setGeometry(placed.x() + g_frame.left(), placed.y() + g_frame.top(), width, height);
        }
        m_asked = geometry().topLeft();
    }
    layoutClient();
    if (windowState() != qtState(m_form->WindowState()))
        setWindowState(qtState(m_form->WindowState()));
    m_applying = false;
    if (placed != outer && m_form->WindowState() == vbNormal) {
        // Later: the form may be in the middle of a change of its own.
        float left = toTwipsX(placed.x()), top = toTwipsY(placed.y());
        bool resized = placed.size() != outer.size();
        float outerWidth = toTwipsX(placed.width()), outerHeight = toTwipsY(placed.height());
        QPointer<FormWindow> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, left, top, resized, outerWidth, outerHeight] {
                if (Form* form = self ? self->m_form : nullptr)
                    userAction([=] {
                        form->Move(left, top, resized ? outerWidth : form->Width(),
                                   resized ? outerHeight : form->Height());
                    });
            },
            Qt::QueuedConnection);
    }
}

// What the window manager put around the window, as it says now (the
// widget's own copy of it can lag behind).
QMargins FormWindow::frameMargins() const {
    QWindow* handle = windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// The window manager framed the window: the form learns the frame's size,
// and, when that was news, the window is placed again so that its frame is
// where the form is. Returns whether it was placed again.
bool FormWindow::learnFrame() {
    if (!m_form || !isVisible() || windowState() != Qt::WindowNoState)
        return false;
    QMargins margins = frameMargins();
    if (margins.isNull() || margins.left() < 0 || margins.top() < 0)
        return false;
    bool changed = margins != g_frame;
    g_frame = margins;
    Form* form = m_form;
    float nonClientWidth = toTwipsX(margins.left() + margins.right());
    float nonClientHeight = toTwipsY(margins.top() + margins.bottom() + menuBarHeight(m_menuBar));
    if (nonClientWidth != form->Width() - form->ScaleWidth() ||
        nonClientHeight != form->Height() - form->ScaleHeight()) {
        userAction([=] { form->setNonClientSize(nonClientWidth, nonClientHeight); });
        changed = true;
    }
    if (!changed)
        return false;
    refresh();
    return true;
}

void FormWindow::layoutClient() {
    if (!m_client)
        return;
    int menuHeight = 0;
    if (m_menuBar) {
        menuHeight = m_menuBar->sizeHint().height();
        m_menuBar->setGeometry(0, 0, width(), menuHeight);
    }
    m_client->setGeometry(0, menuHeight, width(), height() - menuHeight);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form decides: its unload handler may cancel, and hiding the form
    // removes this window.
    event->ignore();
    if (Form* form = m_form)
        userAction([form] { UserInput::closeForm(*form); });
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_applying || !m_form)
        return;
    int state = isMinimized() ? vbMinimized : isMaximized() ? vbMaximized : vbNormal;
    if (state != m_form->WindowState()) {
        Form* form = m_form;
        userAction([form, state] { form->setWindowState(state); });
    }
}

void FormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_managed || !isWindow())
        return;
    // The window manager frames and places the window some time after every
    // mapping, and tells nothing that every toolkit turns into an event:
    // look. Until then the moves it reports are its own (a window shown
    // again passes through the corner of the screen), not the user's. The
    // window is placed once its frame is known and it has stayed where it
    // was put for a few looks; a window manager that puts it elsewhere has
    // the last word when the time is up.
    m_framed = false;
    if (m_placing) {
        m_placing->stop();
        m_placing->deleteLater();
    }
    auto* timer = m_placing = new QTimer(this);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, this, [this, timer, tries = 0, still = 0]() mutable {
        auto done = [&] {
            timer->stop();
            timer->deleteLater();
            if (m_placing == timer)
                m_placing = nullptr;
        };
        if (m_placing != timer || !isVisible()) {
            done();
            return;
        }
        // Framed anew by a frame of another size, it is placed again.
        bool placedAgain = frameMargins().isNull() || learnFrame();
        if (m_placing != timer) // shown again meanwhile: the new look decides
            return;
        still = !placedAgain && geometry().topLeft() == m_asked ? still + 1 : 0;
        bool late = ++tries > 500;
        if (still < 5 && !late)
            return;
        m_framed = true;
        done();
        if (late)
            userMoved();
    });
    timer->start();
}

void FormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (event->spontaneous())
        userMoved();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutClient();
    if (event->spontaneous())
        userMoved();
}

// The user moved or resized the window: the form takes the new geometry,
// keeping its own allowance for borders and title bar.
void FormWindow::userMoved() {
    // A hidden window is nowhere the user could have put it.
    if (m_applying || !m_form || windowState() != Qt::WindowNoState || !isVisible() ||
        (isWindow() && !m_framed))
        return;
    Form* form = m_form;
    int menuHeight = menuBarHeight(m_menuBar);
    QRect frame = geometry().marginsAdded(frameMargins());
    float left = toTwipsX(frame.x()), top = toTwipsY(frame.y());
    float width = toTwipsX(this->width()) + (form->Width() - form->ScaleWidth());
    float height = toTwipsY(this->height() - menuHeight) + (form->Height() - form->ScaleHeight());
    if (toPixelsX(left) == toPixelsX(form->Left()) && toPixelsY(top) == toPixelsY(form->Top()) &&
        toPixelsX(width) == toPixelsX(form->Width()) &&
        toPixelsY(height) == toPixelsY(form->Height()))
        return;
    userAction([=] { form->Move(left, top, width, height); });
}

} // namespace rt::qt
