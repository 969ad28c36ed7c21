#pragma once
// The running program as the deliverables see it: its folder, file name,
// title and version. Tests point it at a temporary program folder.

#include <string>

namespace rt {

class Application {
public:
    Application();

    // Folder of the executable, without a trailing separator.
    const std::string& Path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    // File name of the executable without its extension.
    const std::string& EXEName() const { return m_exeName; }
    void setEXEName(std::string name) { m_exeName = std::move(name); }

    const std::string& Title() const { return m_title.empty() ? m_exeName : m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }

    int Major() const { return m_major; }
    int Minor() const { return m_minor; }
    int Revision() const { return m_revision; }
    void setVersion(int major, int minor, int revision);

    // A file or folder name inside the program folder.
    std::string pathOf(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
    std::string m_exeName;
    std::string m_title;
    int m_major = 1;
    int m_minor = 0;
    int m_revision = 0;
};

Application& App();

} // namespace rt
