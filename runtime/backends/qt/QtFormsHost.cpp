#include "runtime/backends/qt/QtFormsHost.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include "runtime/backends/qt/FormWindow.h"
#include "runtime/backends/qt/QtSupport.h"
#include "runtime/backends/qt/WindowExposure.h"
#include "runtime/core/App.h"
#include "runtime/forms/EventDispatch.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/UserInput.h"

namespace rt::qt {

bool userAction(const std::function<void()>& action) {
    try {
        return dispatchEvent(action);
    } catch (const ScriptFailure&) {
        // Nothing a person could do: the click lands nowhere.
        return false;
    }
}

QtFormsHost::~QtFormsHost() {
    // Widgets cannot outlive the application object.
    if (QCoreApplication::instance())
        closeAll();
}

void QtFormsHost::closeAll() {
    for (auto& [form, window] : m_windows)
        delete window.data();
    m_windows.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

FormWindow* QtFormsHost::existingWindow(const Form& form) const {
    auto it = m_windows.find(&form);
    return it == m_windows.end() ? nullptr : it->second.data();
}

FormWindow* QtFormsHost::window(const Form& form) const {
    FormWindow* win = existingWindow(form);
    return win && form.Visible() ? win : nullptr;
}

HWND QtFormsHost::nativeWindow(const Form& form) const {
    FormWindow* win = existingWindow(form);
    return win ? static_cast<HWND>(win->winId()) : 0;
}

Form* QtFormsHost::activeForm() const {
    auto* active = dynamic_cast<FormWindow*>(QApplication::activeWindow());
    return active ? active->form() : nullptr;
}

FormWindow& QtFormsHost::makeWindow(Form& form) {
    FormWindow* win = existingWindow(form);
    if (!win) {
        win = new FormWindow(form);
        m_windows[&form] = win;
        if (Form* host = form.hostForm()) {
            // A form shown inside another (a property page in its frame) is
            // part of that window, not a window of its own.
            win->setParent(makeWindow(*host).client());
            // Shown only when the form is, not with the window it sits in.
            win->hide();
            return *win;
        }
        // The native window exists from now on, hidden, as the form's handle.
        win->winId();
        watchUncovering(*win);
    }
    return *win;
}

void QtFormsHost::formLoaded(Form& form) {
    makeWindow(form);
}

void QtFormsHost::formChanged(Form& form) {
    // A hidden form reports no unload, so only shown forms are counted.
    bool showing = form.Loaded() && form.Visible();
    if (showing)
        m_loaded.insert(&form);
    else
        m_loaded.erase(&form);
    if (showing) {
        FormWindow& win = makeWindow(form);
        win.refresh();
        if (!win.isVisible()) {
            // Modality takes effect when the window is shown: a modal form
            // gets it now, not by a hiding and showing again that a busy
            // window manager may take for a window withdrawn.
            if (topModalForm() == &form)
                makeModal(form, win);
            else {
                win.belongTo(nullptr);
                win.setWindowModality(Qt::NonModal);
            }
        }
        fillBeforePaint(win);
        win.show();
    } else {
        if (FormWindow* win = existingWindow(form)) {
            if (form.Loaded()) {
                win->hide();
            } else {
                // The form may go away before Qt is done with this window.
                win->detach();
                win->hide();
                win->deleteLater();
                m_windows.erase(&form);
            }
        }
        if (auto it = m_modalLoops.find(&form); it != m_modalLoops.end())
            it->second->quit();
    }
    if (m_quitWhenNoForms && m_loaded.empty())
        QCoreApplication::exit(0);
}

// A modal window belongs to the window that opened it and stands above it,
// an always-on-top one included.
void QtFormsHost::makeModal(Form& form, FormWindow& win) const {
    Form* ownerForm = ownerOf(form);
    FormWindow* owner = ownerForm ? window(*ownerForm) : nullptr;
    win.belongTo(owner != &win ? owner : nullptr);
    win.setWindowModality(Qt::ApplicationModal);
}

QWidget* QtFormsHost::boxParent() const {
    Form* owner = boxOwner();
    return owner ? window(*owner) : nullptr;
}

void QtFormsHost::runModal(Form& form) {
    FormWindow* win = window(form);
    if (!win || !form.Visible())
        return;
    // A form that was showing already becomes modal by being shown again.
    if (!win->isModal()) {
        win->hide();
        makeModal(form, *win);
        win->show();
    }
    QEventLoop loop;
    auto previous = m_modalLoops.find(&form) != m_modalLoops.end() ? m_modalLoops[&form] : nullptr;
    m_modalLoops[&form] = &loop;
    loop.exec();
    if (previous)
        m_modalLoops[&form] = previous;
    else
        m_modalLoops.erase(&form);
}

int QtFormsHost::messageBox(const MessageBoxRequest& request) {
    int icon = request.buttons & 0x70;
    QMessageBox::Icon qicon = icon == vbCritical      ? QMessageBox::Critical
                              : icon == vbQuestion    ? QMessageBox::Question
                              : icon == vbExclamation ? QMessageBox::Warning
                              : icon == vbInformation ? QMessageBox::Information
                                                      : QMessageBox::NoIcon;
    // A box belongs to the window it opens over and stands above it.
    QMessageBox box(qicon, toQt(request.title), toQt(request.prompt), QMessageBox::NoButton,
                    boxParent());
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Choice> choices;
    switch (request.buttons & 0x0f) {
    case vbOKCancel: choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbYesNo: choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    default: choices = {{QMessageBox::Ok, vbOK}}; break;
    }
    for (const Choice& c : choices)
        box.addButton(c.button);
    box.setDefaultButton(choices.front().button);
    box.setEscapeButton(choices.back().button);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : choices)
        if (clicked == box.button(c.button))
            return c.answer;
    return choices.back().answer;
}

void QtFormsHost::reportError(const UnhandledError& error) {
    messageBox({unhandledErrorText(error), vbCritical, App().Title()});
}

std::string QtFormsHost::inputBox(const InputBoxRequest& request) {
    QInputDialog dialog(boxParent());
    dialog.setWindowTitle(toQt(request.title));
    dialog.setLabelText(toQt(request.prompt));
    dialog.setTextValue(toQt(request.defaultText));
    if (request.x >= 0 && request.y >= 0)
        dialog.move(toPixelsX(request.x), toPixelsY(request.y));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return fromQt(dialog.textValue());
}

namespace {

void addPopupItems(QMenu& qmenu, Menu& menu) {
    for (Menu* item : menu.items()) {
        if (!item->Visible())
            continue;
        if (item->Caption() == "-") {
            qmenu.addSeparator();
            continue;
        }
        if (!item->items().empty()) {
            addPopupItems(*qmenu.addMenu(toQt(item->Caption())), *item);
            continue;
        }
        QAction* action = qmenu.addAction(toQt(item->Caption()));
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        action->setData(QVariant::fromValue(static_cast<void*>(item)));
    }
}

} // namespace

void QtFormsHost::popupMenu(Form& /*form*/, Menu& menu) {
    QMenu qmenu;
    addPopupItems(qmenu, menu);
    QAction* chosen = qmenu.exec(QCursor::pos());
    if (!chosen)
        return;
    auto* item = static_cast<Menu*>(chosen->data().value<void*>());
    // The pop-up's own top menu is usually hidden, so the item is raised
    // directly rather than as a choice from the menu bar.
    userAction([item] { item->Click.raise(); });
}

} // namespace rt::qt
