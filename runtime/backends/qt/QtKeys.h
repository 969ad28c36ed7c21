#pragma once
// Key codes and shift states of the forms model from Qt's keys and
// modifiers.

#include <Qt>

namespace rt::qt {

// The model's key code for a Qt key; 0 for keys it has none for.
int keyCodeFromQt(int qtKey);
// vbShiftMask, vbCtrlMask and vbAltMask combined.
int shiftFromQt(Qt::KeyboardModifiers modifiers);

} // namespace rt::qt
