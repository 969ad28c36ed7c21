#pragma once
// One Qt widget per control of a shown form. The widget shows what the
// control holds and re-reads it on the control's Changed event; what the
// user does goes to the model through UserInput.

class QWidget;

namespace rt {
class Control;
}

namespace rt::qt {

class FormWindow;

// The widget for `control` inside the window's client area; nullptr for
// controls without one (timers, menus, image lists).
QWidget* createControlView(Control& control, FormWindow& window);

} // namespace rt::qt
