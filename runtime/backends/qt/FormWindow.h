#pragma once
// The top-level window of one shown form: caption, geometry and window state
// follow the form and the user's changes go back to it; the menu bar and the
// controls sit inside.

#include <QPointer>
#include <QWidget>
#include <map>

class QAction;
class QMenu;
class QMenuBar;
class QTimer;

namespace rt {
class Form;
class Menu;
} // namespace rt

namespace rt::qt {

class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;
    // nullptr once the form was hidden: late events then do nothing.
    Form* form() const { return m_form; }
    void detach();
    // The window stands above `owner` (nullptr: above none) from its next
    // show on. Only while hidden.
    void belongTo(FormWindow* owner);
    // Re-reads caption, geometry and window state from the form.
    void refresh();
    // The client area: the parent of the controls.
    QWidget* client() const { return m_client; }
    QMenuBar* menuBar() const { return m_menuBar; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void addMenuItems(QMenu& qmenu, Menu& menu);
    QAction* bindMenu(QAction* action, Menu& menu);
    void layoutClient();
    void userMoved();
    bool learnFrame();
    QMargins frameMargins() const;

    Form* m_form;
    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client;
    bool m_applying = false;
    // On a desktop whose window manager frames windows: whether it has
    // placed the window since it was last shown, and where it was put.
    bool m_managed = false;
    bool m_framed = false;
    QPoint m_asked;
    QTimer* m_placing = nullptr;
};

} // namespace rt::qt
