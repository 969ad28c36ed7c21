// List boxes: the current line against per-line selection, line shifts on
// insert and remove, sorted insertion, and the messages their window answers.

#include <string>
#include <vector>

#include "runtime/forms/ListBox.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"
#include "tests/support/TestSupport.h"

namespace rt {
namespace {

class ListForm : public Form {
public:
    ListForm() : Form("frmList", "Lists") {
        lstExt.Click.connect([this] { ++clicks; });
        lstOne.Click.connect([this] { ++clicks; });
    }
    ListBox lstOne{*this, "lstOne"};
    ListBox lstExt{*this, "lstExt", false, vbMultiSelectExtended};
    ListBox lstSorted{*this, "lstSorted", true};
    int clicks = 0;
};

class ListBoxTest : public test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        f.Show();
        for (const char* s : {"alpha", "beta", "gamma", "delta", "epsilon"}) {
            f.lstOne.AddItem(s);
            f.lstExt.AddItem(s);
        }
        f.clicks = 0;
    }
    std::vector<bool> selection(const ListBox& l) {
        std::vector<bool> v;
        for (int i = 0; i < l.ListCount(); ++i)
            v.push_back(l.Selected(i));
        return v;
    }
    int32_t send(ListBox& l, uint32_t msg, intptr_t wParam, const Variant& lParam) {
        return desktop().sendMessage(l.hWnd(), msg, wParam, lParam);
    }

    ListForm f;
};

TEST_F(ListBoxTest, SingleSelectionFollowsTheCurrentLine) {
    f.lstOne.setListIndex(2);
    EXPECT_EQ(selection(f.lstOne), (std::vector<bool>{false, false, true, false, false}));
    f.lstOne.setSelected(4, true);
    EXPECT_EQ(f.lstOne.ListIndex(), 4);
    EXPECT_EQ(f.lstOne.SelCount(), 1);
    f.lstOne.setSelected(4, false);
    EXPECT_EQ(f.lstOne.ListIndex(), -1);
    EXPECT_EQ(f.lstOne.SelCount(), 0);
    EXPECT_EQ(f.clicks, 3);
    EXPECT_EQ(test::errorOf([&] { f.lstOne.setListIndex(5); }), kInvalidPropertyValue);
}

TEST_F(ListBoxTest, ExtendedListKeepsSelectionPerLineApartFromTheCurrentLine) {
    UserInput::selectItem(f.lstExt, 1);
    UserInput::selectItem(f.lstExt, 3, vbShiftMask);
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{false, true, true, true, false}));
    EXPECT_EQ(f.lstExt.ListIndex(), 3);

    UserInput::selectItem(f.lstExt, 2, vbCtrlMask); // deselects the focused line
    EXPECT_EQ(f.lstExt.ListIndex(), 2);
    EXPECT_FALSE(f.lstExt.Selected(2));
    EXPECT_EQ(f.lstExt.SelCount(), 2);

    f.lstExt.setSelected(0, true); // code leaves the current line alone
    EXPECT_EQ(f.lstExt.ListIndex(), 2);
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{true, true, false, true, false}));

    UserInput::selectItem(f.lstExt, 4); // a plain click selects just that line
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(f.clicks, 5);
}

TEST_F(ListBoxTest, ShiftRangeRunsFromTheLastPlainOrControlClick) {
    UserInput::selectItem(f.lstExt, 3);
    UserInput::selectItem(f.lstExt, 0, vbShiftMask);
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{true, true, true, true, false}));
    UserInput::selectItem(f.lstExt, 1, vbShiftMask); // same anchor, shorter range
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{false, true, true, true, false}));
}

TEST_F(ListBoxTest, CurrentLineFollowsInsertsAndRemovals) {
    for (ListBox* l : {&f.lstOne, &f.lstExt}) {
        SCOPED_TRACE(l->Name());
        l->setListIndex(2); // gamma
        l->AddItem("first", 0);
        EXPECT_EQ(l->ListIndex(), 3);
        EXPECT_EQ(l->Text(), "gamma");
        EXPECT_TRUE(l->Selected(3));
        l->RemoveItem(0);
        EXPECT_EQ(l->ListIndex(), 2);
        l->RemoveItem(2);
        EXPECT_EQ(l->ListIndex(), -1);
        EXPECT_EQ(l->ListCount(), 4);
        l->Clear();
        EXPECT_EQ(l->ListCount(), 0);
        EXPECT_EQ(l->ListIndex(), -1);
    }
}

TEST_F(ListBoxTest, IndexErrors) {
    ListBox& l = f.lstOne;
    EXPECT_EQ(test::errorOf([&] { l.AddItem("x", 6); }), kInvalidProcedureCall);
    EXPECT_EQ(test::errorOf([&] { l.RemoveItem(5); }), kInvalidProcedureCall);
    EXPECT_EQ(test::errorOf([&] { l.ItemData(-1); }), kInvalidPropertyArrayIndex);
    EXPECT_EQ(test::errorOf([&] { l.Selected(5); }), kInvalidPropertyArrayIndex);
    EXPECT_EQ(l.List(99), "");
    EXPECT_EQ(l.ListCount(), 5);
}

TEST_F(ListBoxTest, SortedListInsertsInOrderWithoutRegardToCase) {
    for (const char* s : {"pear", "Apple", "banana", "apple"})
        f.lstSorted.AddItem(s);
    std::vector<std::string> lines;
    for (int i = 0; i < f.lstSorted.ListCount(); ++i)
        lines.push_back(f.lstSorted.List(i));
    EXPECT_EQ(lines, (std::vector<std::string>{"Apple", "apple", "banana", "pear"}));
    EXPECT_EQ(f.lstSorted.NewIndex(), 1);
}

TEST_F(ListBoxTest, ItemDataStaysWithItsLine) {
    f.lstOne.setItemData(1, 42);
    f.lstOne.AddItem("zero", 0);
    EXPECT_EQ(f.lstOne.ItemData(2), 42);
    EXPECT_EQ(f.lstOne.ItemData(0), 0);
}

TEST_F(ListBoxTest, AddStringAndItemDataMessages) {
    int32_t at = send(f.lstSorted, LB_ADDSTRING, 0, Variant("m"));
    EXPECT_EQ(send(f.lstSorted, LB_ADDSTRING, 0, Variant("c")), 0);
    EXPECT_EQ(at, 0);
    EXPECT_EQ(f.lstSorted.List(1), "m");
    EXPECT_EQ(send(f.lstSorted, LB_ADDSTRING, 0, Variant("z")), 2);
    EXPECT_NE(send(f.lstSorted, LB_SETITEMDATA, 1, Variant(7)), LB_ERR);
    EXPECT_EQ(f.lstSorted.ItemData(1), 7);
    EXPECT_EQ(send(f.lstSorted, LB_SETITEMDATA, 3, Variant(7)), LB_ERR);
    EXPECT_EQ(f.clicks, 0);
}

struct FindRow {
    const char* name;
    intptr_t start;
    const char* text;
    int32_t expected;
};

class FindStringExactTest : public ListBoxTest, public testing::WithParamInterface<FindRow> {};

TEST_P(FindStringExactTest, FindsWholeTextWithoutRegardToCase) {
    f.lstOne.AddItem("Beta"); // line 5: a second match
    const FindRow& row = GetParam();
    EXPECT_EQ(send(f.lstOne, LB_FINDSTRINGEXACT, row.start, Variant(row.text)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindStringExactTest,
                         testing::Values(FindRow{"FromFirst", -1, "beta", 1},
                                         FindRow{"OtherCase", -1, "GAMMA", 2},
                                         FindRow{"AfterStart", 1, "beta", 5},
                                         FindRow{"WrapsAround", 5, "beta", 1},
                                         FindRow{"PrefixIsNoMatch", -1, "bet", LB_ERR},
                                         FindRow{"Absent", -1, "omega", LB_ERR}),
                         test::RowName());

TEST_F(ListBoxTest, SelectItemRangeMessageSelectsBothWaysAndSwapsAReversedRange) {
    EXPECT_EQ(send(f.lstExt, LB_SELITEMRANGE, 1, Variant(int32_t{(1 << 16) | 3})), 0);
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{false, true, true, true, false}));
    EXPECT_EQ(send(f.lstExt, LB_SELITEMRANGE, 0, Variant(int32_t{(2 << 16) | 4})),
              0); // first 4, last 2
    EXPECT_EQ(selection(f.lstExt), (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(send(f.lstOne, LB_SELITEMRANGE, 1, Variant(int32_t{1 << 16})), LB_ERR);
    EXPECT_EQ(f.clicks, 0);
}

TEST_F(ListBoxTest, HorizontalExtentMessageIsKept) {
    send(f.lstOne, LB_SETHORIZONTALEXTENT, 640, Variant());
    EXPECT_EQ(f.lstOne.HorizontalExtent(), 640);
}

TEST_F(ListBoxTest, ListWindowBelongsToItsForm) {
    EXPECT_NE(f.lstOne.hWnd(), f.lstExt.hWnd());
    EXPECT_EQ(desktop().parent(f.lstOne.hWnd()), f.hWnd());
}

TEST_F(ListBoxTest, LateBoundIndexedMembers) {
    f.lstExt.call("AddItem", {Variant("late"), Variant(0)});
    f.lstExt.let("ListIndex", Variant(0));
    EXPECT_EQ(f.lstExt.get("List", {Variant(0)}).toString(), "late");
    f.lstExt.Invoke(f.lstExt.GetIDOfName("Selected"), InvokeKind::PropertyPut,
                    std::vector<Variant>{Variant(3), Variant(true)});
    EXPECT_EQ(f.lstExt.get("SelCount").toLong(), 2);
    EXPECT_EQ(f.lstExt.get("ListCount").toLong(), 6);
}

} // namespace
} // namespace rt

namespace rt {
namespace {

// What MouseDown saw when a press reached it.
struct PressSeen {
    int listIndex;
    std::vector<bool> selection;
    int clicksBefore;
};

class ListPressTest : public ListBoxTest {
protected:
    void SetUp() override {
        ListBoxTest::SetUp();
        f.lstExt.MouseDown.connect([this](int, int, float, float) {
            std::vector<bool> s = selection(f.lstExt);
            seen.push_back({f.lstExt.ListIndex(), s, f.clicks});
        });
    }
    std::vector<PressSeen> seen;
};

// A person's press applies to the list first: the handler of MouseDown
// reads the line just pressed, Ctrl and Shift included. The list's Click
// comes after it, so what MouseDown did to the record cursor does not stand
// over what the Click chose.
TEST_F(ListPressTest, ALeftPressSelectsThenRaisesMouseDownThenClick) {
    UserInput::pressItem(f.lstExt, 1, vbLeftButton);
    EXPECT_EQ(f.clicks, 1);
    UserInput::pressItem(f.lstExt, 3, vbLeftButton, vbCtrlMask);
    UserInput::pressItem(f.lstExt, 4, vbLeftButton, vbShiftMask);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].listIndex, 1);
    EXPECT_EQ(seen[0].selection, (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(seen[0].clicksBefore, 0);
    EXPECT_EQ(seen[1].clicksBefore, 1);
    EXPECT_EQ(seen[2].clicksBefore, 2);
    EXPECT_EQ(f.clicks, 3);
    EXPECT_EQ(seen[1].listIndex, 3);
    EXPECT_EQ(seen[1].selection, (std::vector<bool>{false, true, false, true, false}));
    EXPECT_EQ(seen[2].listIndex, 4);
    EXPECT_EQ(seen[2].selection, (std::vector<bool>{false, false, false, true, true}));
}

TEST_F(ListPressTest, ARightPressOrAPressBelowTheLinesLeavesTheSelection) {
    UserInput::selectItem(f.lstExt, 2);
    UserInput::pressItem(f.lstExt, 4, vbRightButton);
    UserInput::pressItem(f.lstExt, -1, vbLeftButton);
    ASSERT_EQ(seen.size(), 2u);
    for (const PressSeen& s : seen) {
        EXPECT_EQ(s.listIndex, 2);
        EXPECT_EQ(s.selection, (std::vector<bool>{false, false, true, false, false}));
    }
    EXPECT_THROW(UserInput::pressItem(f.lstExt, 5, vbLeftButton), ScriptFailure);
}

} // namespace
} // namespace rt
