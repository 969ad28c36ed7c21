#pragma once
// A combo box: a list with a text. An editable combo takes any text (the
// current line follows an exact match); a drop-down list only takes the text
// of one of its lines.

#include <vector>

#include "runtime/forms/Control.h"
#include "runtime/forms/ListItems.h"

namespace rt {

constexpr int vbComboDropdown = 0;
constexpr int vbComboSimple = 1;
constexpr int vbComboDropdownList = 2;

class ComboBox : public Control {
public:
    ComboBox(Form& form, std::string name, int style = vbComboDropdown, bool sorted = false);

    int Style() const { return m_style; }
    bool Sorted() const { return m_sorted; }

    void Clear();
    void AddItem(const std::string& item, int index = -1);
    void RemoveItem(int index);
    std::string List(int index) const;
    int ListCount() const { return static_cast<int>(m_items.size()); }
    int NewIndex() const { return m_newIndex; }
    int32_t ItemData(int index) const;
    void setItemData(int index, int32_t value);

    int ListIndex() const { return m_listIndex; }
    // The text becomes the line's (empty for -1); raises Click when changed.
    void setListIndex(int index);
    const std::string& Text() const { return m_text; }
    // A drop-down list takes only the text of a line (error 383 otherwise).
    // Puts the caret at the start of the edit part.
    void setText(const std::string& text);
    // The selection in the edit part, in characters, as a text box has it.
    int SelStart() const { return m_selStart; }
    // Past the end clamps to the end; negative is error 380.
    void setSelStart(int start);
    int SelLength() const { return m_selLength; }
    void setSelLength(int length);
    std::string SelText() const;

    // The user picks line `index` from the list, or types into the edit
    // part: `text` replaces the selection and the caret goes after it.
    void userSelect(int index);
    void userType(const std::string& text);

    Event<> Change;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    void checkIndex(int index) const;
    void putText(std::string text);

    std::vector<ListItem> m_items;
    std::string m_text;
    int m_listIndex = -1;
    int m_newIndex = -1;
    int m_selStart = 0;
    int m_selLength = 0;
    int m_style;
    bool m_sorted;
};

} // namespace rt
