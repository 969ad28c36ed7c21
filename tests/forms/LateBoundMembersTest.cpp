// The members that layout code finds by name on controls that are not boxes:
// a line has end points but no position or size, a timer no visibility, size
// or font. Code that reads Left or Visible to tell what it can move relies
// on the failure.

#include <string>

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Line.h"
#include "runtime/forms/Timer.h"
#include "tests/forms/FormsFixture.h"
#include "tests/support/TestSupport.h"

namespace rt {
namespace {

class ShapesForm : public Form {
public:
    ShapesForm() : Form("frmShapes", "Shapes") {}
    Line lin{*this, "lin", 10, 20, 300, 20};
    Timer tmr{*this, "tmr", 1000, false};
    CommandButton cmd{*this, "cmd"};
};

class LateBoundMembersTest : public test::FormsTest {
protected:
    ShapesForm f;
};

TEST_F(LateBoundMembersTest, EachControlOffersOnlyTheMembersItHas) {
    struct Row {
        Control* control;
        const char* member;
        bool offered;
    };
    const Row rows[] = {
        {&f.lin, "Name", true},    {&f.lin, "Visible", true},  {&f.lin, "X1", true},
        {&f.lin, "Left", false},   {&f.lin, "Top", false},     {&f.lin, "Width", false},
        {&f.lin, "Height", false}, {&f.lin, "Font", false},    {&f.lin, "Move", false},
        {&f.tmr, "Name", true},    {&f.tmr, "Left", true},     {&f.tmr, "Top", true},
        {&f.tmr, "Enabled", true}, {&f.tmr, "Interval", true}, {&f.tmr, "Visible", false},
        {&f.tmr, "Width", false},  {&f.tmr, "Height", false},  {&f.tmr, "Font", false},
        {&f.cmd, "Visible", true}, {&f.cmd, "Width", true},    {&f.cmd, "Font", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control->Name() + "." + row.member);
        int error = test::errorOf([&] { row.control->get(row.member); });
        EXPECT_EQ(error, row.offered ? 0 : kObjectDoesNotSupport);
    }
}

TEST_F(LateBoundMembersTest, SharedMembersStillReachTheControl) {
    EXPECT_EQ(f.lin.get("Name").toString(), "lin");
    f.lin.let("Visible", Variant(false));
    EXPECT_FALSE(f.lin.Visible());
    // The timer's Enabled is its own: switching it restarts the count.
    f.tmr.let("Enabled", Variant(true));
    EXPECT_TRUE(f.tmr.running());
    f.tmr.let("Left", Variant(480));
    EXPECT_EQ(f.tmr.Left(), 480);
}

} // namespace
} // namespace rt
