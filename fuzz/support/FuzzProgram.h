#pragma once
// The program's world for a fuzz target: a program folder of its own with a
// "vocab" folder, a simulated desktop, keyboard and shell, and a forms host
// that answers every box. Input bytes become whole record files.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimKeyboard.h"
#include "runtime/backends/sim/SimShell.h"
#include "runtime/core/App.h"
#include "runtime/core/FileSlots.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/desktop/Desktop.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "runtime/platform/shell/Shell32.h"

namespace fuzz {

class QuietHost : public rt::FormsHost {
public:
    void runModal(rt::Form& form) override { form.Hide(); }
    int messageBox(const rt::MessageBoxRequest&) override { return rt::vbOK; }
    std::string inputBox(const rt::InputBoxRequest&) override { return {}; }
    void popupMenu(rt::Form&, rt::Menu&) override {}
};

struct World {
    std::filesystem::path folder;
    std::shared_ptr<rt::SimDesktop> desktop = std::make_shared<rt::SimDesktop>();
};

inline World& world() {
    static World w = [] {
        World made;
        std::string templ = (std::filesystem::temp_directory_path() / "quibo-fuzz-XXXXXX").string();
        made.folder = mkdtemp(templ.data());
        std::filesystem::create_directories(made.folder / "vocab");
        rt::App().setPath(made.folder.string());
        // Made before any window, so it outlives their timers at exit.
        rt::eventLoop();
        rt::setDesktop(made.desktop);
        rt::setKeyboard(std::make_shared<rt::SimKeyboard>());
        rt::setShell(std::make_shared<rt::SimShell>());
        rt::setFormsHost(std::make_shared<QuietHost>());
        return made;
    }();
    return w;
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The input cut in two at a point its first byte chooses: the application
// file and a vocabulary file.
inline std::pair<std::string_view, std::string_view> split(const uint8_t* data, size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    if (all.empty())
        return {};
    size_t cut = 1 + (static_cast<size_t>(data[0]) * (all.size() - 1)) / 255;
    return {all.substr(1, cut - 1), all.substr(cut)};
}

// Every consumer opens and closes slot 1 within itself: one left open is a
// fault, since the next file would be refused.
inline void expectSlotsClosed() {
    if (rt::FileSlots::isOpen(1) || rt::FileSlots::isOpen(2))
        std::abort();
}

} // namespace fuzz
