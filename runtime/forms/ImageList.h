#pragma once
// An image list: pictures by index (from 1) or key, for toolbars and lists.
// Pictures are kept by file name; views load them.

#include <string>
#include <vector>

#include "runtime/forms/Control.h"

namespace rt {

struct ListImage {
    std::string Key;
    std::string Picture;
    int Index = 0;
};

class ImageList : public Control {
public:
    using Control::Control;

    // Error 35602 for a key in use.
    ListImage& Add(const std::string& key, const std::string& picture);
    int Count() const { return static_cast<int>(m_images.size()); }
    // By index (35600 outside) or key (35601 when none).
    const ListImage& ListImages(int index) const;
    const ListImage& ListImages(const std::string& key) const;
    void Remove(int index);
    void Clear();

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::vector<ListImage> m_images;
};

} // namespace rt
