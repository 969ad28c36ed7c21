#pragma once
// The widget of a library's control on a form: its surface draws the back
// colour, the border and the shapes the control draws, takes the user's
// mouse and keys in the surface's own twips, shows the pointer the control
// asks for, and holds the widgets of the controls placed inside it.

#include <QColor>
#include <cstdint>

class QWidget;

namespace rt {
class Control;
class ControlSite;
} // namespace rt

namespace rt::qt {

class FormWindow;

QWidget* userControlView(ControlSite& site, FormWindow& window);

// The widget the view of `control` belongs in: the inner area of its
// container's view, or the window's client area for a control on the form.
QWidget* viewParentOf(const Control& control, FormWindow& window);

// A colour value as the model stores it (system colours included).
QColor colourOf(int32_t colour);

} // namespace rt::qt
