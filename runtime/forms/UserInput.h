#pragma once
// The one way user input enters the forms model: the scripted user of tests
// and the real view both call these. Each call checks that a person could do
// it (the control is visible and enabled, no modal form above its form) and
// throws ScriptFailure when not, so a script that drifts from the program
// fails clearly. Unloaded forms are released after each outermost action.

#include <functional>
#include <stdexcept>
#include <string>

#include "runtime/core/Error.h"

namespace rt {

class Control;
class Form;
class ComboBox;
class ListBox;
class Menu;
class Slider;
class TextBox;
class Toolbar;

// A user action that no person could take, or a box or modal window that the
// script did not expect. Not a RuntimeError: the program's own error
// handling must not swallow it.
class ScriptFailure : public std::logic_error, public NotForHandlers {
public:
    using std::logic_error::logic_error;
};

class UserInput {
public:
    static void click(Control& control);
    static void dblClick(Control& control);
    static void mouseDown(Control& control, int button, int shift = 0, float x = 0, float y = 0);
    static void mouseMove(Control& control, int button, int shift = 0, float x = 0, float y = 0);
    static void mouseUp(Control& control, int button, int shift = 0, float x = 0, float y = 0);
    // KeyDown on the form first when it has KeyPreview, then on the control
    // unless the form's handler set the key code to 0. A key no handler
    // swallowed then works the form's buttons: Enter presses the focused
    // button, else the form's Default one; Escape presses its Cancel button,
    // or the only button of a modal form. True when it pressed one: the key
    // is used up.
    static bool keyDown(Control& control, int keyCode, int shift = 0);
    // The character a key gave, after its KeyDown: KeyPress on the form
    // first when it has KeyPreview, then on the control unless the form's
    // handler set the code to 0. The code the handlers left; 0 swallows
    // the character.
    static int keyPress(Control& control, int keyAscii);
    static void keyUp(Control& control, int keyCode, int shift = 0);
    static void focus(Control& control);
    // Replaces the selection of the text box with `text`, as typing does.
    static void typeText(TextBox& box, const std::string& text);
    // The same for the edit part of a combo box; in a drop-down list it
    // jumps to the first line that starts with `text`.
    static void typeText(ComboBox& box, const std::string& text);
    // Clicks line `index`; with vbShiftMask/vbCtrlMask in an extended list
    // it extends or toggles the selection.
    static void selectItem(ListBox& list, int index, int shift = 0);
    // A mouse press on a list, as the platform's list box takes it: a left
    // press on line `index` (-1: below the last line) first selects it as
    // selectItem does, Ctrl and Shift included, then raises MouseDown, so
    // the handler sees the line just pressed, and last the list's Click.
    // What Click leaves (a record chosen for editing) is what the press
    // left, whatever MouseDown did on the way.
    static void pressItem(ListBox& list, int index, int button, int shift = 0, float x = 0,
                          float y = 0);
    // Picks line `index` from the combo box's list.
    static void selectItem(ComboBox& combo, int index);
    // Chooses a menu item from the form's menu bar.
    static void chooseMenu(Menu& item);
    // Clicks the toolbar button with `key`.
    static void clickButton(Toolbar& toolbar, const std::string& key);
    // Drags the slider's thumb to `value`.
    static void slide(Slider& slider, int value);
    // The close box of the form's title bar.
    static void closeForm(Form& form);

    // Manual drag: press the left button on `source` (whose MouseDown handler
    // starts the drag), move over `target` and release. Without a drag
    // started, the press just ends with MouseUp on the source.
    static void dragTo(Control& source, Control& target, float x = 0, float y = 0);
    // Finer steps of a drag in progress.
    static void dragOver(Control& target, float x = 0, float y = 0);
    // The pointer moved off every control: the one it was over hears vbLeave.
    static void dragOverNothing();
    static void drop(Control& target, float x = 0, float y = 0);
    static Control* dragSource();
    // Called after a drag began or ended, however: a view shows the outline
    // only while there is a drag. One watcher; an empty function removes it.
    static void setDragWatcher(std::function<void()> watcher);

    // Called by Control::Drag.
    static void beginDrag(Control& source);
    static void endDrag(Control& source, bool drop);
    // A message or input box takes the pointer: the drag in progress, if
    // any, ends without a drop.
    static void cancelDrag();
    // Called by a control's destructor: it is no longer dragged or hovered.
    static void forget(const Control& control);

    // Brackets an action; the outermost one releases unloaded forms when it
    // ends. Views wrap their own event dispatch in it.
    class Action {
    public:
        Action();
        ~Action();
        Action(const Action&) = delete;
        Action& operator=(const Action&) = delete;
    };

    // Throws ScriptFailure unless a person could act on `control` now.
    static void checkReachable(const Control& control);
    static void checkReachable(const Form& form);
};

} // namespace rt
