#include "runtime/backends/qt/QtView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "runtime/backends/qt/FormWindow.h"
#include "runtime/backends/qt/QtFormsHost.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/UserInput.h"

namespace rt::qt {

namespace {

// Longest wait between turns, so a timer the last action enabled is not
// late by more than this.
constexpr int64_t kMaxWaitMs = 20;

struct ViewState {
    // Not destroyed at exit: Qt's own statics may be gone by then.
    QApplication* app = nullptr;
    std::shared_ptr<QtFormsHost> host;
    QTimer* clock = nullptr;
    QElapsedTimer elapsed;
    int64_t base = 0;
};

ViewState& state() {
    static ViewState s;
    return s;
}

int64_t realNow() {
    return state().base + state().elapsed.elapsed();
}

void scheduleClock() {
    ViewState& s = state();
    int64_t due = eventLoop().nextDue();
    int64_t wait = due < 0 ? kMaxWaitMs : std::clamp<int64_t>(due - realNow(), 0, kMaxWaitMs);
    s.clock->start(static_cast<int>(wait));
}

void tick() {
    int64_t now = std::max(realNow(), eventLoop().now());
    userAction([now] { eventLoop().advanceTo(now); });
    scheduleClock();
}

} // namespace

void installQtView(int& argc, char** argv) {
    ViewState& s = state();
    if (!QApplication::instance())
        s.app = new QApplication(argc, argv);
    // The model centres forms on the real screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        Screen().Width = toTwipsX(screen->geometry().width());
        Screen().Height = toTwipsY(screen->geometry().height());
    }
    if (!s.host) {
        s.host = std::make_shared<QtFormsHost>();
        setFormsHost(s.host);
    }
    if (!s.clock) {
        s.clock = new QTimer(QCoreApplication::instance());
        s.clock->setSingleShot(true);
        QObject::connect(s.clock, &QTimer::timeout, s.clock, tick);
        s.base = eventLoop().now();
        s.elapsed.start();
        scheduleClock();
    }
    QObject* target = QCoreApplication::instance();
    rt::uithread::setWaker([target] {
        QMetaObject::invokeMethod(
            target, [] { userAction([] { eventLoop().runPending(); }); }, Qt::QueuedConnection);
    });
}

int runEventLoop() {
    ViewState& s = state();
    if (!s.host || !s.host->anyLoaded())
        return 0;
    s.host->setQuitWhenNoForms(true);
    int code = QApplication::exec();
    s.host->setQuitWhenNoForms(false);
    return code;
}

void closeOnRequest(const std::function<void()>& closeMain) {
    // One action around them all: no form unloaded here is released while
    // its modal loop is still on the stack.
    UserInput::Action whole;
    for (Form* modal : modalForms())
        userAction([modal] { modal->Unload(); });
    userAction(closeMain);
    // Every loop, the modal ones of a form that refused too.
    QCoreApplication::exit(0);
}

void shutdownQtView() {
    ViewState& s = state();
    rt::uithread::setWaker(nullptr);
    if (s.host) {
        setFormsHost(nullptr);
        s.host->closeAll();
        s.host.reset();
    }
    delete s.clock;
    s.clock = nullptr;
    delete s.app;
    s.app = nullptr;
}

QWidget* formWindow(const Form& form) {
    return state().host ? state().host->window(form) : nullptr;
}

} // namespace rt::qt
