#include "runtime/backends/qt/UserControlView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "runtime/backends/qt/FormWindow.h"
#include "runtime/backends/qt/QtKeys.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"

namespace rt::qt {

namespace {

Qt::CursorShape cursorOf(int pointer) {
    switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 15: return Qt::SizeAllCursor;
    case 16: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

int buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return 4;
    default: return vbLeftButton;
    }
}

int buttonsOf(Qt::MouseButtons buttons) {
    int held = 0;
    if (buttons & Qt::LeftButton)
        held |= vbLeftButton;
    if (buttons & Qt::RightButton)
        held |= vbRightButton;
    if (buttons & Qt::MiddleButton)
        held |= 4;
    return held;
}

class SurfaceView;

// The inside of the surface, less its border: the parent of the contained
// controls and of the shapes, and where the user's input lands. Its
// coordinates are the surface's own.
class SurfaceClient : public QWidget {
public:
    SurfaceClient(SurfaceView& view, ControlSite& site);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool attached() const;
    template <class F> void act(F f) {
        if (attached())
            userAction(f);
    }

    SurfaceView& m_view;
    ControlSite* m_site;
    // The release that ends a double click raises no Click.
    bool m_afterDouble = false;
};

class SurfaceView : public QWidget {
public:
    SurfaceView(ControlSite& site, FormWindow& window)
        : QWidget(window.client()), m_site(&site), m_window(&window),
          m_client(new SurfaceClient(*this, site)) {
        setObjectName(toQt(site.Name()));
        QPointer<SurfaceView> self(this);
        site.Changed.connect([self] {
            if (self && self->attached())
                self->refresh();
        });
        refresh();
    }

    ControlSite& site() const { return *m_site; }
    QWidget* client() const { return m_client; }
    bool attached() const { return m_window && m_window->form(); }

    void refresh() {
        ControlSite& site = *m_site;
        UserControl* object = site.object();
        if (QWidget* parent = viewParentOf(site, *m_window); parent && parent != parentWidget())
            setParent(parent);
        setGeometry(toPixelsX(site.Left()), toPixelsY(site.Top()), toPixelsX(site.Width()),
                    toPixelsY(site.Height()));
        int border = object && object->BorderStyle() ? 1 : 0;
        m_client->setGeometry(border, border, std::max(0, width() - 2 * border),
                              std::max(0, height() - 2 * border));
        setCursor(cursorOf(object ? object->MousePointer() : 0));
        setEnabled(site.Enabled() && site.surfaceEnabled());
        setVisible(site.Visible() && site.shownOnForm());
        showShapes(object ? object->shapes() : std::vector<UserControl::Shape>{});
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        UserControl* object = m_site->object();
        if (!object)
            return;
        QPainter painter(this);
        painter.fillRect(rect(), colourOf(object->BackColor()));
        if (!object->BorderStyle())
            return;
        QRect edge = rect().adjusted(0, 0, -1, -1);
        if (object->Appearance()) {
            // Sunken: shadow above and left, light below and right.
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(edge.topLeft(), edge.topRight());
            painter.drawLine(edge.topLeft(), edge.bottomLeft());
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(edge.bottomLeft(), edge.bottomRight());
            painter.drawLine(edge.topRight(), edge.bottomRight());
        } else {
            painter.setPen(Qt::black);
            painter.drawRect(edge);
        }
    }

private:
    // One child widget per shape, in front of the contained controls; the
    // pointer passes through to the surface.
    void showShapes(const std::vector<UserControl::Shape>& shapes) {
        while (m_shapes.size() > shapes.size()) {
            delete m_shapes.back().data();
            m_shapes.pop_back();
        }
        while (m_shapes.size() < shapes.size()) {
            auto* w = new QWidget(m_client);
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
            w->setAutoFillBackground(true);
            m_shapes.emplace_back(w);
        }
        for (size_t i = 0; i < shapes.size(); ++i) {
            const UserControl::Shape& shape = shapes[i];
            QWidget* w = m_shapes[i];
            if (!w)
                continue;
            w->setObjectName(toQt(shape.name));
            QPalette p = w->palette();
            p.setColor(QPalette::Window, colourOf(shape.colour));
            w->setPalette(p);
            w->setGeometry(toPixelsX(shape.left), toPixelsY(shape.top), toPixelsX(shape.width),
                           toPixelsY(shape.height));
            w->show();
            w->raise();
        }
    }

    ControlSite* m_site;
    QPointer<FormWindow> m_window;
    SurfaceClient* m_client;
    std::vector<QPointer<QWidget>> m_shapes;
};

SurfaceClient::SurfaceClient(SurfaceView& view, ControlSite& site)
    : QWidget(&view), m_view(view), m_site(&site) {
    setObjectName(QStringLiteral("surface"));
    setMouseTracking(true);
    // The surface shows nothing to type into: a click gives it the keys, but
    // it is no tab stop and never the first focus of its window.
    setFocusPolicy(Qt::ClickFocus);
}

bool SurfaceClient::attached() const {
    return m_view.attached();
}

// Only input that lands on the surface itself: a click that a contained
// control (or a disabled one) passes up is not the surface's.
bool ownInput(QMouseEvent* event) {
    if (event->spontaneous())
        return true;
    event->ignore();
    return false;
}

void SurfaceClient::mousePressEvent(QMouseEvent* event) {
    if (!ownInput(event))
        return;
    ControlSite* site = m_site;
    int button = buttonOf(event->button());
    int shift = shiftFromQt(event->modifiers());
    QPoint p = event->position().toPoint();
    m_afterDouble = false;
    act([=] { UserInput::mouseDown(*site, button, shift, toTwipsX(p.x()), toTwipsY(p.y())); });
}

void SurfaceClient::mouseMoveEvent(QMouseEvent* event) {
    if (!ownInput(event))
        return;
    ControlSite* site = m_site;
    int held = buttonsOf(event->buttons());
    int shift = shiftFromQt(event->modifiers());
    QPoint p = event->position().toPoint();
    act([=] { UserInput::mouseMove(*site, held, shift, toTwipsX(p.x()), toTwipsY(p.y())); });
}

void SurfaceClient::mouseReleaseEvent(QMouseEvent* event) {
    if (!ownInput(event))
        return;
    ControlSite* site = m_site;
    int button = buttonOf(event->button());
    int shift = shiftFromQt(event->modifiers());
    QPoint p = event->position().toPoint();
    act([=] { UserInput::mouseUp(*site, button, shift, toTwipsX(p.x()), toTwipsY(p.y())); });
    bool inside = rect().contains(p);
    if (event->button() == Qt::LeftButton && inside && !m_afterDouble)
        act([=] { UserInput::click(*site); });
    m_afterDouble = false;
}

void SurfaceClient::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!ownInput(event))
        return;
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    ControlSite* site = m_site;
    m_afterDouble = true;
    act([=] { UserInput::dblClick(*site); });
}

void SurfaceClient::keyPressEvent(QKeyEvent* event) {
    ControlSite* site = m_site;
    int code = keyCodeFromQt(event->key());
    int shift = shiftFromQt(event->modifiers());
    if (code)
        act([=] { UserInput::keyDown(*site, code, shift); });
    std::string text = fromQt(event->text());
    if (text.size() == 1 && attached())
        act([=] { UserInput::keyPress(*site, static_cast<unsigned char>(text[0])); });
}

void SurfaceClient::keyReleaseEvent(QKeyEvent* event) {
    ControlSite* site = m_site;
    int code = keyCodeFromQt(event->key());
    int shift = shiftFromQt(event->modifiers());
    if (code && !event->isAutoRepeat())
        act([=] { UserInput::keyUp(*site, code, shift); });
}

} // namespace

QWidget* userControlView(ControlSite& site, FormWindow& window) {
    return new SurfaceView(site, window);
}

QWidget* viewParentOf(const Control& control, FormWindow& window) {
    QWidget* client = window.client();
    const Control* container = control.Container();
    if (!container || !client)
        return client;
    for (QWidget* w : client->findChildren<QWidget*>()) {
        auto* view = dynamic_cast<SurfaceView*>(w);
        if (view && &view->site() == container)
            return view->client();
    }
    return client;
}

QColor colourOf(int32_t colour) {
    auto value = static_cast<uint32_t>(colour);
    if (value & 0x80000000u) {
        QPalette palette;
        switch (value & 0xFF) {
        case 0x05: return palette.color(QPalette::Base);
        case 0x08: return palette.color(QPalette::Text);
        case 0x0D: return palette.color(QPalette::Highlight);
        case 0x0E: return palette.color(QPalette::HighlightedText);
        case 0x10: return palette.color(QPalette::Dark);
        case 0x12: return palette.color(QPalette::ButtonText);
        case 0x14: return palette.color(QPalette::Light);
        case 0x15: return palette.color(QPalette::Shadow);
        default: return palette.color(QPalette::Button);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace rt::qt
