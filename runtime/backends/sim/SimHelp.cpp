#include "runtime/backends/sim/SimHelp.h"

#include <filesystem>

#include "runtime/core/Ansi.h"

namespace rt {

bool SimHelp::display(const HelpRequest& request) {
    m_requests.push_back(request);
    std::error_code ec;
    return std::filesystem::is_regular_file(utf8FromAnsi(request.file), ec);
}

} // namespace rt
