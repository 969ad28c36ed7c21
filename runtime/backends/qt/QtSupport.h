#pragma once
// Small helpers the Qt view shares: text across the edge and running a
// user action from a Qt event without letting an exception into Qt.

#include <QString>
#include <functional>
#include <string>

#include "runtime/core/Ansi.h"
#include "runtime/forms/Host.h"

namespace rt::qt {

inline QString toQt(const std::string& ansi) {
    return QString::fromStdString(utf8FromAnsi(ansi));
}
inline std::string fromQt(const QString& text) {
    return ansiFromUtf8(text.toStdString());
}
inline int toPixelsX(float twips) {
    return static_cast<int>(twips / Screen().TwipsPerPixelX + 0.5f);
}
inline int toPixelsY(float twips) {
    return static_cast<int>(twips / Screen().TwipsPerPixelY + 0.5f);
}
inline float toTwipsX(int pixels) {
    return static_cast<float>(pixels) * Screen().TwipsPerPixelX;
}
inline float toTwipsY(int pixels) {
    return static_cast<float>(pixels) * Screen().TwipsPerPixelY;
}

// Runs `action` as one user action. An action no person could take (a
// window under a modal one) is dropped; an error the program did not handle
// is shown in a message box (dispatchEvent), since it must not unwind
// through Qt. False when the action failed.
bool userAction(const std::function<void()>& action);

} // namespace rt::qt
