#pragma once
// Help that shows nothing: it records every request and answers from the
// file system (whether the file exists).

#include <vector>

#include "runtime/platform/help/HtmlHelp.h"

namespace rt {

class SimHelp : public HelpBackend {
public:
    bool display(const HelpRequest& request) override;

    const std::vector<HelpRequest>& requests() const { return m_requests; }

private:
    std::vector<HelpRequest> m_requests;
};

} // namespace rt
