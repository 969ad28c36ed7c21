#include "runtime/forms/ImageList.h"

#include "runtime/forms/KeyedItems.h"

namespace rt {

ListImage& ImageList::Add(const std::string& key, const std::string& picture) {
    checkNewKey(m_images, key);
    m_images.push_back(ListImage{key, picture, Count() + 1});
    Changed.raise();
    return m_images.back();
}

const ListImage& ImageList::ListImages(int index) const {
    return m_images[checkedIndex(m_images, index)];
}

const ListImage& ImageList::ListImages(const std::string& key) const {
    return m_images[checkedKey(m_images, key)];
}

void ImageList::Remove(int index) {
    m_images.erase(m_images.begin() + static_cast<std::ptrdiff_t>(checkedIndex(m_images, index)));
    for (size_t i = 0; i < m_images.size(); ++i)
        m_images[i].Index = static_cast<int>(i + 1);
    Changed.raise();
}

void ImageList::Clear() {
    m_images.clear();
    Changed.raise();
}

const MemberTable& ImageList::memberTable() {
    static const MemberTable table({readOnly<ImageList>("Count", 101, &ImageList::Count)},
                                   &Control::memberTable());
    return table;
}

} // namespace rt
