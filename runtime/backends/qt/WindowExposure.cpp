#include "runtime/backends/qt/WindowExposure.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

#include "runtime/backends/qt/FormWindow.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/forms/Control.h"
#include "runtime/forms/Form.h"

namespace rt::qt {

namespace {

// The toolkit creates its X windows without a background, so between the
// map and the program's first paint the server shows whatever lay beneath
// (black on a bare desktop), for as long as the program is busy.
void setXBackground(FormWindow& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    QColor colour = window.palette().color(QPalette::Window);
    xcb_alloc_color_reply_t* reply = xcb_alloc_color_reply(
        connection,
        xcb_alloc_color(connection, screen->default_colormap, uint16_t(colour.red() * 257),
                        uint16_t(colour.green() * 257), uint16_t(colour.blue() * 257)),
        nullptr);
    if (!reply)
        return;
    uint32_t pixel = reply->pixel;
    std::free(reply);
    xcb_change_window_attributes(connection, static_cast<xcb_window_t>(window.winId()),
                                 XCB_CW_BACK_PIXEL, &pixel);
}

// Follows the window's exposure. The window system asks an exposed window
// to draw a part of it again when another window that covered that part
// went away; the widgets draw again from their own copy, but the model must
// hear it. The requests that come with a show (or a restore) are left out:
// the form painted its controls for that already.
class UncoverWatcher : public QObject {
public:
    explicit UncoverWatcher(FormWindow& window) : QObject(&window), m_window(&window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_window || watched != m_window->windowHandle())
            return false;
        if (event->type() == QEvent::Expose)
            exposed();
        else if (event->type() == QEvent::Paint && m_exposed && !m_appearing)
            uncovered(static_cast<QPaintEvent&>(*event).region());
        return false;
    }

private:
    void exposed() {
        bool now = m_window->windowHandle()->isExposed();
        if (now && !m_exposed) {
            // What the server sends with the map arrives with it.
            m_appearing = true;
            QPointer<UncoverWatcher> self(this);
            QTimer::singleShot(0, this, [self] {
                if (self)
                    self->m_appearing = false;
            });
        }
        m_exposed = now;
    }

    void uncovered(const QRegion& region) {
        Form* form = m_window->form();
        if (!form)
            return;
        std::vector<Control*> controls;
        for (Control* control : form->Controls()) {
            auto* view = m_window->findChild<QWidget*>(toQt(control->Name()));
            if (view && view->isVisible() &&
                region.intersects(QRect(view->mapTo(m_window, QPoint(0, 0)), view->size())))
                controls.push_back(control);
        }
        if (controls.empty())
            return;
        userAction([form, controls] {
            for (Control* control : controls)
                form->uncovered(*control);
        });
    }

    QPointer<FormWindow> m_window;
    bool m_exposed = false;
    bool m_appearing = false;
};

} // namespace

void fillBeforePaint(FormWindow& window) {
    if (window.isWindow())
        setXBackground(window);
}

void watchUncovering(FormWindow& window) {
    if (QWindow* handle = window.windowHandle())
        handle->installEventFilter(new UncoverWatcher(window));
}

} // namespace rt::qt
