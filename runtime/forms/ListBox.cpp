#include "runtime/forms/ListBox.h"

#include <algorithm>

#include "runtime/forms/Form.h"

namespace rt {

ListBox::ListBox(Form& form, std::string name, bool sorted, int multiSelect)
    : Control(form, std::move(name)), m_sorted(sorted), m_multiSelect(multiSelect) {
    m_hWnd = desktop().createOwnWindow(
        OwnWindow{"QuiboListBox", "", true, form.hWnd(),
                  [this](uint32_t msg, intptr_t wParam, const Variant& lParam) {
                      return windowProc(msg, wParam, lParam);
                  }});
}

ListBox::~ListBox() {
    if (m_hWnd)
        desktop().destroyOwnWindow(m_hWnd);
}

void ListBox::checkIndex(int index) const {
    if (index < 0 || index >= ListCount())
        raiseError(kInvalidPropertyArrayIndex);
}

void ListBox::Clear() {
    m_items.clear();
    m_listIndex = -1;
    m_anchor = -1;
    m_newIndex = -1;
    Changed.raise();
}

int ListBox::insert(const std::string& item, int index) {
    if (index < -1 || index > ListCount())
        raiseError(kInvalidProcedureCall);
    size_t pos = index >= 0 ? static_cast<size_t>(index)
                 : m_sorted ? sortedPosition(m_items, item)
                            : m_items.size();
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(pos), ListItem{item, 0, false});
    int at = static_cast<int>(pos);
    if (m_listIndex >= at)
        ++m_listIndex;
    if (m_anchor >= at)
        ++m_anchor;
    m_newIndex = at;
    Changed.raise();
    return at;
}

void ListBox::AddItem(const std::string& item, int index) {
    insert(item, index);
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount())
        raiseError(kInvalidProcedureCall);
    m_items.erase(m_items.begin() + index);
    if (m_listIndex == index)
        m_listIndex = -1;
    else if (m_listIndex > index)
        --m_listIndex;
    if (m_anchor >= index)
        m_anchor = m_anchor == index ? -1 : m_anchor - 1;
    m_newIndex = -1;
    Changed.raise();
}

std::string ListBox::List(int index) const {
    return index >= 0 && index < ListCount() ? m_items[index].text : std::string();
}

void ListBox::setList(int index, const std::string& text) {
    checkIndex(index);
    m_items[index].text = text;
    Changed.raise();
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount())
        raiseError(kInvalidPropertyValue);
    bool changed = index != m_listIndex;
    if (m_multiSelect == vbMultiSelectNone) {
        for (auto& item : m_items)
            item.selected = false;
    }
    if (index >= 0) {
        changed = changed || !m_items[index].selected;
        m_items[index].selected = true;
    }
    m_listIndex = index;
    m_anchor = index;
    if (!changed)
        return;
    Changed.raise();
    Click.raise();
}

bool ListBox::Selected(int index) const {
    checkIndex(index);
    return m_items[index].selected;
}

void ListBox::setSelected(int index, bool selected) {
    checkIndex(index);
    if (m_multiSelect == vbMultiSelectNone) {
        if (selected)
            setListIndex(index);
        else if (index == m_listIndex)
            setListIndex(-1);
        return;
    }
    if (m_items[index].selected == selected)
        return;
    m_items[index].selected = selected;
    Changed.raise();
    Click.raise();
}

int ListBox::SelCount() const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                          [](const ListItem& i) { return i.selected; }));
}

int32_t ListBox::ItemData(int index) const {
    checkIndex(index);
    return m_items[index].data;
}

void ListBox::setItemData(int index, int32_t value) {
    checkIndex(index);
    m_items[index].data = value;
}

void ListBox::setMultiSelect(int mode) {
    if (mode < vbMultiSelectNone || mode > vbMultiSelectExtended)
        raiseError(kInvalidPropertyValue);
    m_multiSelect = mode;
}

void ListBox::selectOnly(int first, int last) {
    if (first > last)
        std::swap(first, last);
    for (int i = 0; i < ListCount(); ++i)
        m_items[i].selected = i >= first && i <= last;
}

void ListBox::userSelect(int index, int shift) {
    userPress(index, shift);
    Click.raise();
}

void ListBox::userPress(int index, int shift) {
    checkIndex(index);
    if (m_multiSelect == vbMultiSelectNone) {
        selectOnly(index, index);
    } else if (m_multiSelect == vbMultiSelectSimple) {
        m_items[index].selected = !m_items[index].selected;
    } else if ((shift & vbShiftMask) && m_anchor >= 0) {
        int first = std::min(m_anchor, index), last = std::max(m_anchor, index);
        if (shift & vbCtrlMask) {
            for (int i = first; i <= last; ++i)
                m_items[i].selected = true;
        } else {
            selectOnly(first, last);
        }
    } else if (shift & vbCtrlMask) {
        m_items[index].selected = !m_items[index].selected;
        m_anchor = index;
    } else {
        selectOnly(index, index);
        m_anchor = index;
    }
    if (m_anchor < 0)
        m_anchor = index;
    m_listIndex = index;
    Changed.raise();
}

int32_t ListBox::windowProc(uint32_t msg, intptr_t wParam, const Variant& lParam) {
    switch (msg) {
    case LB_ADDSTRING: return insert(lParam.toString(), -1);
    case LB_SETITEMDATA:
        if (wParam < 0 || wParam >= ListCount())
            return LB_ERR;
        m_items[wParam].data = lParam.toLong();
        return 1;
    case LB_FINDSTRINGEXACT: return findExact(m_items, static_cast<int>(wParam), lParam.toString());
    case LB_SETHORIZONTALEXTENT:
        m_horizontalExtent = static_cast<int32_t>(wParam);
        Changed.raise();
        return 0;
    case LB_SELITEMRANGE: {
        if (m_multiSelect == vbMultiSelectNone)
            return LB_ERR;
        auto range = static_cast<uint32_t>(lParam.toLong());
        int first = static_cast<int>(range & 0xFFFF), last = static_cast<int>(range >> 16);
        if (first > last)
            std::swap(first, last);
        if (first >= ListCount())
            return LB_ERR;
        last = std::min(last, ListCount() - 1);
        for (int i = first; i <= last; ++i)
            m_items[i].selected = wParam != 0;
        Changed.raise();
        return 0;
    }
    default: return 0;
    }
}

const MemberTable& ListBox::memberTable() {
    auto index = [](std::span<const Variant> a) { return a.empty() ? 0 : a[0].toLong(); };
    static const MemberTable table(
        {
            Member{"ListIndex", 101, MemberKind::Property, "",
                   [](Dispatch& s, std::span<const Variant>) {
                       return Variant(static_cast<ListBox&>(s).ListIndex());
                   },
                   [](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ListBox&>(s).setListIndex(a.back().toLong());
                   }},
            readOnly<ListBox>("ListCount", 102, &ListBox::ListCount),
            Member{"List", 103, MemberKind::Property, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       return Variant(static_cast<ListBox&>(s).List(index(a)));
                   },
                   [index](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ListBox&>(s).setList(index(a), a.back().toString());
                   }},
            Member{"Selected", 104, MemberKind::Property, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       return Variant(static_cast<ListBox&>(s).Selected(index(a)));
                   },
                   [index](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ListBox&>(s).setSelected(index(a), a.back().toBool());
                   }},
            Member{"ItemData", 105, MemberKind::Property, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       return Variant(static_cast<ListBox&>(s).ItemData(index(a)));
                   },
                   [index](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ListBox&>(s).setItemData(index(a), a.back().toLong());
                   }},
            readOnly<ListBox>("SelCount", 106, &ListBox::SelCount),
            readOnly<ListBox>("Text", 107, &ListBox::Text),
            readOnly<ListBox>("NewIndex", 108, &ListBox::NewIndex),
            Member{"AddItem", 109, MemberKind::Method, "",
                   [](Dispatch& s, std::span<const Variant> a) {
                       if (a.empty())
                           raiseError(kInvalidProcedureCall);
                       static_cast<ListBox&>(s).AddItem(
                           a[0].toString(), a.size() > 1 && !a[1].isEmpty() ? a[1].toLong() : -1);
                       return Variant();
                   },
                   nullptr},
            Member{"RemoveItem", 110, MemberKind::Method, "",
                   [index](Dispatch& s, std::span<const Variant> a) {
                       static_cast<ListBox&>(s).RemoveItem(index(a));
                       return Variant();
                   },
                   nullptr},
            Member{"Clear", 111, MemberKind::Method, "",
                   [](Dispatch& s, std::span<const Variant>) {
                       static_cast<ListBox&>(s).Clear();
                       return Variant();
                   },
                   nullptr},
            readOnly<ListBox>("Sorted", 112, &ListBox::Sorted),
            readOnly<ListBox>("MultiSelect", 113, &ListBox::MultiSelect),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
