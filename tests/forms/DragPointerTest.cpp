// A drag as a pointing view reports it: the pointer leaves every control,
// the program ends the drag itself, and the view hears each begin and end.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"

namespace rt {
namespace {

std::string twips(float x, float y) {
    return std::to_string(int(x)) + "," + std::to_string(int(y));
}

class PointerForm : public Form {
public:
    PointerForm() : Form("frmPointer", "Pointer") {
        for (ListBox* list : {&lstFrom, &lstTo}) {
            list->DragOver.connect([this, list](Control& src, float x, float y, int state) {
                log.push_back(list->Name() + " over " + std::to_string(state) + " " +
                              src.Name() + " " + twips(x, y));
            });
            list->DragDrop.connect([this, list](Control& src, float x, float y) {
                log.push_back(list->Name() + " drop " + src.Name() + " " + twips(x, y));
            });
        }
        lstFrom.MouseDown.connect([this](int, int, float, float) { lblDrag.Drag(); });
        lblDrag.setVisible(false);
    }
    ListBox lstFrom{*this, "lstFrom"};
    ListBox lstTo{*this, "lstTo"};
    Label lblDrag{*this, "lblDrag"};
    std::vector<std::string> log;
};

struct PointerCase {
    const char* name;
    std::function<void(PointerForm&)> steps;
    std::vector<std::string> heard;
};

class DragPointerTest : public test::FormsTest, public testing::WithParamInterface<PointerCase> {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        f.Show();
    }
    void TearDown() override {
        UserInput::setDragWatcher(nullptr);
        FormsTest::TearDown();
    }
    PointerForm f;
};

TEST_P(DragPointerTest, ControlsHearThePointerWhereItWasOverThem) {
    UserInput::mouseDown(f.lstFrom, vbLeftButton);
    ASSERT_EQ(UserInput::dragSource(), &f.lblDrag); // a hidden label can be dragged
    GetParam().steps(f);
    EXPECT_EQ(f.log, GetParam().heard);
}

const PointerCase kPointerCases[] = {
    {"LeavingForNothingTellsTheLastPlaceOverTheControl",
     [](PointerForm& f) {
         UserInput::dragOver(f.lstTo, 30, 45);
         UserInput::dragOverNothing();
         UserInput::dragOverNothing(); // nothing left to leave
         UserInput::dragOver(f.lstTo, 60, 15);
     },
     {"lstTo over 0 lblDrag 30,45", "lstTo over 1 lblDrag 30,45", "lstTo over 0 lblDrag 60,15"}},
    {"LeavingForAnotherControlTellsItsOwnPlace",
     [](PointerForm& f) {
         UserInput::dragOver(f.lstTo, 30, 45);
         UserInput::dragOver(f.lstFrom, 900, 1200);
     },
     {"lstTo over 0 lblDrag 30,45", "lstTo over 1 lblDrag 30,45",
      "lstFrom over 0 lblDrag 900,1200"}},
    {"EndDragDropsWhereThePointerWasLast",
     [](PointerForm& f) {
         UserInput::dragOver(f.lstTo, 30, 45);
         UserInput::dragOver(f.lstTo, 75, 90);
         f.lblDrag.Drag(vbEndDrag);
     },
     {"lstTo over 0 lblDrag 30,45", "lstTo over 2 lblDrag 75,90", "lstTo drop lblDrag 75,90"}},
    {"EndDragOverNothingDropsNothing",
     [](PointerForm& f) {
         UserInput::dragOver(f.lstTo, 30, 45);
         UserInput::dragOverNothing();
         f.lblDrag.Drag(vbEndDrag);
     },
     {"lstTo over 0 lblDrag 30,45", "lstTo over 1 lblDrag 30,45"}},
    {"EndingTheDragOfAnotherControlChangesNothing",
     [](PointerForm& f) {
         UserInput::dragOver(f.lstTo, 30, 45);
         f.lstTo.Drag(vbEndDrag);
         UserInput::drop(f.lstTo, 40, 50);
     },
     {"lstTo over 0 lblDrag 30,45", "lstTo drop lblDrag 40,50"}},
};

INSTANTIATE_TEST_SUITE_P(Steps, DragPointerTest, testing::ValuesIn(kPointerCases),
                         [](const testing::TestParamInfo<PointerCase>& info) {
                             return std::string(info.param.name);
                         });

using DragWatcherTest = DragPointerTest;

TEST_F(DragWatcherTest, HearsEveryBeginAndEndWithTheSourceAlreadySet) {
    std::vector<std::string> seen;
    UserInput::setDragWatcher([&] {
        Control* source = UserInput::dragSource();
        seen.push_back(source ? source->Name() : "none");
    });
    UserInput::mouseDown(f.lstFrom, vbLeftButton);
    f.lblDrag.Drag(vbCancelDrag);
    UserInput::mouseDown(f.lstFrom, vbLeftButton);
    UserInput::drop(f.lstTo);
    UserInput::mouseDown(f.lstFrom, vbLeftButton);
    UserInput::dragOver(f.lstTo);
    f.lblDrag.Drag(vbEndDrag);
    EXPECT_EQ(seen, (std::vector<std::string>{"lblDrag", "none", "lblDrag", "none", "lblDrag",
                                              "none"}));
}

TEST_F(DragWatcherTest, HearsTheEndWhenTheDraggedControlGoes) {
    auto label = std::make_unique<Label>(f, "lblTemp");
    label->Drag();
    int calls = 0;
    UserInput::setDragWatcher([&] { ++calls; });
    label.reset();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(UserInput::dragSource(), nullptr);
    EXPECT_THROW(UserInput::dragOverNothing(), ScriptFailure);
}

} // namespace
} // namespace rt
