#include "runtime/forms/ComboBox.h"

#include <algorithm>

#include "runtime/core/Strings.h"

namespace rt {

namespace {
constexpr int32_t kTextReadOnly = 383;
}

ComboBox::ComboBox(Form& form, std::string name, int style, bool sorted)
    : Control(form, std::move(name)), m_style(style), m_sorted(sorted) {
    if (style < vbComboDropdown || style > vbComboDropdownList)
        raiseError(kInvalidPropertyValue);
}

void ComboBox::checkIndex(int index) const {
    if (index < 0 || index >= ListCount())
        raiseError(kInvalidPropertyArrayIndex);
}

void ComboBox::Clear() {
    m_items.clear();
    m_listIndex = -1;
    m_newIndex = -1;
    putText({});
    Changed.raise();
}

void ComboBox::AddItem(const std::string& item, int index) {
    if (index < -1 || index > ListCount())
        raiseError(kInvalidProcedureCall);
    size_t pos = index >= 0 ? static_cast<size_t>(index)
                 : m_sorted ? sortedPosition(m_items, item)
                            : m_items.size();
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(pos), ListItem{item, 0, false});
    int at = static_cast<int>(pos);
    if (m_listIndex >= at)
        ++m_listIndex;
    m_newIndex = at;
    Changed.raise();
}

void ComboBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount())
        raiseError(kInvalidProcedureCall);
    m_items.erase(m_items.begin() + index);
    if (m_listIndex == index) {
        m_listIndex = -1;
        if (m_style == vbComboDropdownList)
            putText({});
    } else if (m_listIndex > index) {
        --m_listIndex;
    }
    Changed.raise();
}

std::string ComboBox::List(int index) const {
    return index >= 0 && index < ListCount() ? m_items[index].text : std::string();
}

int32_t ComboBox::ItemData(int index) const {
    checkIndex(index);
    return m_items[index].data;
}

void ComboBox::setItemData(int index, int32_t value) {
    checkIndex(index);
    m_items[index].data = value;
}

void ComboBox::putText(std::string text) {
    m_selStart = 0;
    m_selLength = 0;
    if (text == m_text)
        return;
    m_text = std::move(text);
    Changed.raise();
    // A drop-down list has no edit part to change.
    if (m_style != vbComboDropdownList)
        Change.raise();
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount())
        raiseError(kInvalidPropertyValue);
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    putText(List(index));
    Changed.raise();
    Click.raise();
}

void ComboBox::setText(const std::string& text) {
    int match = findExact(m_items, -1, text);
    if (m_style == vbComboDropdownList) {
        if (match < 0)
            raiseError(kTextReadOnly, {}, "'Text' property is read-only");
        setListIndex(match);
        return;
    }
    m_listIndex = match;
    putText(text);
}

void ComboBox::userSelect(int index) {
    checkIndex(index);
    m_listIndex = index;
    putText(List(index));
    Changed.raise();
    Click.raise();
}

void ComboBox::userType(const std::string& text) {
    if (m_style == vbComboDropdownList) {
        // Typing in a drop-down list jumps to the first line starting with it.
        for (int i = 0; i < ListCount(); ++i)
            if (m_items[i].text.size() >= text.size() &&
                textEquals(std::string_view(m_items[i].text).substr(0, text.size()), text)) {
                userSelect(i);
                return;
            }
        return;
    }
    if (text.empty() && m_selLength == 0)
        return;
    std::string edited = m_text;
    edited.replace(static_cast<size_t>(m_selStart), static_cast<size_t>(m_selLength), text);
    int caret = m_selStart + static_cast<int>(text.size());
    m_listIndex = findExact(m_items, -1, edited);
    putText(std::move(edited));
    m_selStart = caret;
    Changed.raise();
}

void ComboBox::setSelStart(int start) {
    if (start < 0)
        raiseError(kInvalidPropertyValue);
    m_selStart = std::min(start, static_cast<int>(m_text.size()));
    m_selLength = 0;
    Changed.raise();
}

void ComboBox::setSelLength(int length) {
    if (length < 0)
        raiseError(kInvalidPropertyValue);
    m_selLength = std::min(length, static_cast<int>(m_text.size()) - m_selStart);
    Changed.raise();
}

std::string ComboBox::SelText() const {
    return m_text.substr(static_cast<size_t>(m_selStart), static_cast<size_t>(m_selLength));
}

const MemberTable& ComboBox::memberTable() {
    auto index = [](std::span<const Variant> a) { return a.empty() ? 0 : a[0].toLong(); };
    static const MemberTable table(
        {
            property<ComboBox>("ListIndex", 101, &ComboBox::ListIndex, &ComboBox::setListIndex,
                               &Variant::toLong),
            readOnly<ComboBox>("ListCount", 102, &ComboBox::ListCount),
            Member{"List", 103, MemberKind::ReadOnlyProperty, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       return Variant(static_cast<ComboBox&>(s).List(index(a)));
                   },
                   nullptr},
            Member{"ItemData", 105, MemberKind::Property, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       return Variant(static_cast<ComboBox&>(s).ItemData(index(a)));
                   },
                   [index](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ComboBox&>(s).setItemData(index(a), a.back().toLong());
                   }},
            property<ComboBox>("Text", 106, &ComboBox::Text, &ComboBox::setText,
                               &Variant::toString),
            readOnly<ComboBox>("Style", 107, &ComboBox::Style),
            property<ComboBox>("SelStart", 112, &ComboBox::SelStart, &ComboBox::setSelStart,
                               &Variant::toLong),
            property<ComboBox>("SelLength", 113, &ComboBox::SelLength, &ComboBox::setSelLength,
                               &Variant::toLong),
            Member{"AddItem", 109, MemberKind::Method, "",
                   [](Dispatch& s, std::span<const Variant> a) {
                       if (a.empty())
                           raiseError(kInvalidProcedureCall);
                       static_cast<ComboBox&>(s).AddItem(
                           a[0].toString(), a.size() > 1 && !a[1].isEmpty() ? a[1].toLong() : -1);
                       return Variant();
                   },
                   nullptr},
            Member{"RemoveItem", 110, MemberKind::Method, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ComboBox&>(s).RemoveItem(index(a));
                       return Variant();
                   },
                   nullptr},
            Member{"Clear", 111, MemberKind::Method, "",
                   [](Dispatch& s, std::span<const Variant>) {
                       static_cast<ComboBox&>(s).Clear();
                       return Variant();
                   },
                   nullptr},
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
