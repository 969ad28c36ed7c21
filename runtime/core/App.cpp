#include "runtime/core/App.h"

#include <filesystem>
#include <system_error>

namespace rt {

Application::Application() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        m_path = std::filesystem::current_path(ec).string();
        m_exeName = "program";
        return;
    }
    m_path = exe.parent_path().string();
    m_exeName = exe.stem().string();
}

void Application::setVersion(int major, int minor, int revision) {
    m_major = major;
    m_minor = minor;
    m_revision = revision;
}

Application& App() {
    static Application app;
    return app;
}

} // namespace rt
