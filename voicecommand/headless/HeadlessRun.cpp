#include "voicecommand/headless/HeadlessRun.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimShell.h"
#include "runtime/core/Ansi.h"
#include "runtime/forms/EventDispatch.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "runtime/platform/shell/Shell32.h"
#include "runtime/speech/ScriptedEngine.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmQuibo.h"

namespace {

// Nobody to ask: boxes are written to standard error and take their first
// button, modal windows close at once.
class HeadlessHost : public rt::FormsHost {
public:
    void runModal(rt::Form& form) override { form.Hide(); }
    int messageBox(const rt::MessageBoxRequest& request) override {
        std::cerr << request.title << ": " << request.prompt << "\n";
        return (request.buttons & 7) == rt::vbYesNo ? rt::vbYes : rt::vbOK;
    }
    std::string inputBox(const rt::InputBoxRequest& request) override {
        return request.defaultText;
    }
    void popupMenu(rt::Form&, rt::Menu&) override {}
};

// Keeps every typing with the window it went to.
class RecordingKeyboard : public rt::Keyboard {
public:
    struct Typing {
        rt::HWND window;
        std::vector<rt::KeyEvent> events;
    };
    void type(const std::vector<rt::KeyEvent>& events, bool) override {
        m_typed.push_back({rt::desktop().foreground(), events});
    }
    const std::vector<Typing>& typed() const { return m_typed; }

private:
    std::vector<Typing> m_typed;
};

std::string shown(const std::string& ansi) {
    return rt::utf8FromAnsi(ansi);
}

std::string windowName(rt::SimDesktop& desktop, rt::HWND h) {
    const rt::SimDesktop::Window* w = desktop.window(h);
    if (!w)
        return "window " + std::to_string(h);
    return shown(w->className) + " \xC2\xA6 " + shown(w->title);
}

// Key events written back in the key notation, one token per key pressed:
// the held modifiers as prefixes, named keys in braces.
std::string notation(const std::vector<rt::KeyEvent>& events) {
    bool shift = false, ctrl = false, alt = false;
    std::string out;
    for (const rt::KeyEvent& e : events) {
        switch (e.key.named) {
        case rt::NamedKey::Shift: shift = e.down; continue;
        case rt::NamedKey::Control: ctrl = e.down; continue;
        case rt::NamedKey::Alt: alt = e.down; continue;
        default: break;
        }
        if (!e.down)
            continue;
        out += std::string(shift ? "+" : "") + (ctrl ? "^" : "") + (alt ? "%" : "");
        if (e.key.named != rt::NamedKey::Char)
            out += "{" + rt::keyName(e.key) + "}";
        else if (std::string("+^%~(){}[]").find(e.key.ch) != std::string::npos)
            out += std::string("{") + e.key.ch + "}";
        else
            out += shown(std::string(1, e.key.ch));
    }
    return out;
}

// Returns whether the file put one of its windows in front.
bool addWindowsFrom(const std::string& file, rt::SimDesktop& desktop) {
    std::ifstream in(file);
    if (!in) {
        std::cerr << "quibo: cannot read the windows file " << file << "\n";
        return false;
    }
    std::string line;
    rt::HWND front = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        rt::SimDesktop::Window w;
        w.className = rt::ansiFromUtf8(fields[0]);
        w.title = fields.size() > 1 ? rt::ansiFromUtf8(fields[1]) : "";
        std::string flags = fields.size() > 2 ? fields[2] : "";
        w.iconic = flags.find("iconic") != std::string::npos;
        rt::HWND h = desktop.addWindow(w);
        if (flags.find("front") != std::string::npos)
            front = h;
    }
    if (front)
        desktop.activate(front);
    return front != 0;
}

// What one phrase did, read from the simulated desktop, keyboard and shell.
class Effects {
public:
    Effects(rt::SimDesktop& desktop, RecordingKeyboard& keyboard, rt::SimShell& shell)
        : m_desktop(desktop), m_keyboard(keyboard), m_shell(shell) {
        mark();
    }
    void mark() {
        m_front = m_desktop.foreground();
        m_log = m_desktop.log().size();
        m_typed = m_keyboard.typed().size();
        m_started = m_shell.started().size();
    }
    // Returns whether the phrase did anything.
    bool print(std::ostream& out) {
        bool any = false;
        const std::vector<std::string>& log = m_desktop.log();
        for (size_t i = m_log; i < log.size(); ++i) {
            std::istringstream entry(log[i]);
            std::string what;
            rt::HWND h = 0;
            // Bringing the window in front to the front again changes nothing.
            if (entry >> what >> h && what == "foreground" && h != m_front) {
                out << "  front: " << windowName(m_desktop, h) << "\n";
                m_front = h;
                any = true;
            }
        }
        const auto& typed = m_keyboard.typed();
        for (size_t i = m_typed; i < typed.size(); ++i, any = true)
            out << "  typed into " << windowName(m_desktop, typed[i].window) << ": "
                << notation(typed[i].events) << "\n";
        std::vector<rt::SimShell::Call> started = m_shell.started();
        for (size_t i = m_started; i < started.size(); ++i, any = true) {
            const rt::SimShell::Call& c = started[i];
            std::string what = c.verb == "start"     ? "started"
                               : c.verb == "explore" ? "explored"
                                                     : "opened";
            std::string command = c.file;
            for (size_t a = 1; a < c.argv.size(); ++a)
                command += " " + c.argv[a];
            out << "  " << what << ": " << shown(command) << "\n";
        }
        mark();
        return any;
    }

private:
    rt::SimDesktop& m_desktop;
    RecordingKeyboard& m_keyboard;
    rt::SimShell& m_shell;
    size_t m_log = 0, m_typed = 0, m_started = 0;
    rt::HWND m_front = 0;
};

// A line of input in the program's text, or nothing when it holds a
// character that text cannot.
std::optional<std::string> phraseFrom(const std::string& utf8) {
    std::string ansi = rt::ansiFromUtf8(utf8);
    if (rt::utf8FromAnsi(ansi) != utf8)
        return std::nullopt;
    return ansi;
}

} // namespace

int runHeadless(std::istream& in, std::ostream& out, const std::string& windowsFile) {
    auto desktop = std::make_shared<rt::SimDesktop>();
    auto keyboard = std::make_shared<RecordingKeyboard>();
    auto shell = std::make_shared<rt::SimShell>();
    rt::setDesktop(desktop);
    rt::setKeyboard(keyboard);
    rt::setShell(shell);
    rt::setFormsHost(std::make_shared<HeadlessHost>());
    bool otherInFront = !windowsFile.empty() && addWindowsFrom(windowsFile, *desktop);

    frmQuibo& main = rt::form<frmQuibo>().get();
    rt::dispatchEvent([&] { main.Show(); });
    // As on a desktop, the window just opened is in front unless another
    // program's was said to be.
    if (!otherInFront)
        desktop->activate(main.hWnd());
    Effects effects(*desktop, *keyboard, *shell);
    std::string line;
    while (!Program::Ended() && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::optional<std::string> phrase = phraseFrom(line);
        if (!phrase) {
            std::cerr << "quibo: skipped a line of input that is not UTF-8 text of Windows-1252 "
                         "characters: "
                      << line << "\n";
            continue;
        }
        bool heard = false;
        rt::dispatchEvent([&] {
            auto& engine = dynamic_cast<rt::speech::ScriptedEngine&>(main.DirectSR1->engine());
            heard = engine.say(*phrase);
            rt::eventLoop().runPending();
        });
        rt::releaseUnloadedForms();
        if (Program::Ended())
            break;
        out << shown(main.stbVCmd.PanelText(1));
        if (!main.stbVCmd.PanelText(2).empty())
            out << "\t" << shown(main.stbVCmd.PanelText(2));
        out << "\n";
        if (!heard)
            out << "  not heard: the grammar has no such phrase, or listening is paused\n";
        if (!effects.print(out) && heard)
            out << "  nothing done: no window switched, no keys typed, nothing started\n";
        out.flush();
    }
    if (!Program::Ended())
        rt::dispatchEvent([] { rt::form<frmQuibo>().unload(); });
    Program::DiscardForms();
    return 0;
}
