#pragma once
// A list box: lines with item data, sorted or in insertion order, single or
// multiple selection. ListIndex is the current line (the one with the focus
// rectangle); in a multiple-selection list Selected(i) is kept per line and
// independent of it. Its window answers the list-box messages.

#include <vector>

#include "runtime/forms/Control.h"
#include "runtime/forms/ListItems.h"

namespace rt {

constexpr int vbMultiSelectNone = 0;
constexpr int vbMultiSelectSimple = 1;
constexpr int vbMultiSelectExtended = 2;

class ListBox : public Control {
public:
    ListBox(Form& form, std::string name, bool sorted = false, int multiSelect = vbMultiSelectNone);
    ~ListBox() override;

    HWND hWnd() const override { return m_hWnd; }

    void Clear();
    // At `index` (-1: the end, or the sorted place of a sorted list); error 5
    // for an index beyond the end.
    void AddItem(const std::string& item, int index = -1);
    void RemoveItem(int index);
    // The empty text outside the list.
    std::string List(int index) const;
    void setList(int index, const std::string& text);
    int ListCount() const { return static_cast<int>(m_items.size()); }
    // The line last added.
    int NewIndex() const { return m_newIndex; }

    int ListIndex() const { return m_listIndex; }
    // Makes `index` the current line (and selects it); raises Click when it
    // changed. -1 clears the current line.
    void setListIndex(int index);
    std::string Text() const { return List(m_listIndex); }
    bool Selected(int index) const;
    void setSelected(int index, bool selected);
    int SelCount() const;
    int32_t ItemData(int index) const;
    void setItemData(int index, int32_t value);

    bool Sorted() const { return m_sorted; }
    void setSorted(bool sorted) { m_sorted = sorted; }
    int MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(int mode);
    int32_t HorizontalExtent() const { return m_horizontalExtent; }

    // A click of the user on line `index` with the shift state.
    void userSelect(int index, int shift);
    // The selection a press on line `index` makes, without its Click: the
    // press raises MouseDown in between.
    void userPress(int index, int shift);
    int32_t windowProc(uint32_t msg, intptr_t wParam, const Variant& lParam);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    void checkIndex(int index) const;
    int insert(const std::string& item, int index);
    void selectOnly(int first, int last);

    HWND m_hWnd = 0;
    std::vector<ListItem> m_items;
    int m_listIndex = -1;
    int m_anchor = -1;
    int m_newIndex = -1;
    bool m_sorted;
    int m_multiSelect;
    int32_t m_horizontalExtent = 0;
};

} // namespace rt
