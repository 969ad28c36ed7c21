// An error that no handler caught, in the real view: a message box with
// its number and description, titled with the program's name, and the
// program goes on taking input.

#include <QPushButton>
#include <QTest>
#include <stdexcept>
#include <string>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "tests/qt/BoxWatcher.h"
#include "tests/qt/QtViewFixture.h"

namespace rt::test {
namespace {

struct ErrorRow {
    const char* name;
    void (*fail)();
    std::string text;
};

class ErrorBox : public QtViewTest, public testing::WithParamInterface<ErrorRow> {};

TEST_P(ErrorBox, AnErrorLeavingAClickHandlerIsShownAndTheProgramGoesOn) {
    SampleForm& f = showSample();
    int clicks = 0;
    f.cmdStart.Click.connect([&] {
        if (++clicks == 1)
            GetParam().fail();
    });
    BoxWatcher boxes;
    QTest::mouseClick(widget(f.cmdStart), Qt::LeftButton);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].title, App().Title());
    EXPECT_EQ(boxes.seen()[0].text, GetParam().text);
    ASSERT_TRUE(f.Loaded());
    QTest::mouseClick(widget(f.cmdStart), Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.seen().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    View, ErrorBox,
    testing::Values(ErrorRow{"RuntimeError",
                             [] { raiseError(13012, "Quibo.CFile", "The record is too long"); },
                             "Run-time error '13012':\n\nThe record is too long"},
                    ErrorRow{"OtherException", [] { throw std::length_error("vector too long"); },
                             "Run-time error '51':\n\nInternal error: vector too long"}),
    [](const testing::TestParamInfo<ErrorRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace rt::test
