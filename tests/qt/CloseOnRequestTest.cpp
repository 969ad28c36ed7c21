#include <QApplication>
#include <QTimer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtSupport.h"
#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/Form.h"

namespace rt::test {
namespace {

// A form that logs its unload and may refuse it.
class ClosingForm : public Form {
public:
    ClosingForm(const std::string& name, std::vector<std::string>& log, bool refuse)
        : Form(name, name), m_log(log), m_refuse(refuse) {}
    void Form_Unload(int& cancel) override {
        m_log.push_back(Name());
        cancel = m_refuse ? 1 : 0;
    }
    void agree() { m_refuse = false; }

private:
    std::vector<std::string>& m_log;
    bool m_refuse;
};

struct Refusals {
    const char* name;
    bool inner, outer, main;
};

class CloseOnRequest : public testing::TestWithParam<Refusals> {};

// A main window with two modal windows over it, the inner one opened from
// the outer one. A termination request unloads them innermost first, then
// the main window, and the program's loop ends whichever of them refuses.
TEST_P(CloseOnRequest, UnloadsModalFormsInnermostFirstThenTheMainAndEndsTheLoop) {
    const Refusals& row = GetParam();
    std::vector<std::string> log;
    ClosingForm main("main", log, row.main);
    ClosingForm outer("outer", log, row.outer);
    ClosingForm inner("inner", log, row.inner);
    main.Show();
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] { qt::closeOnRequest([&] { main.Unload(); }); });
            qt::userAction([&] { inner.Show(vbModal); });
        });
        qt::userAction([&] { outer.Show(vbModal); });
    });
    // Only a loop that does not end meets it.
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(20000);

    EXPECT_EQ(qt::runEventLoop(), 0);
    stuck.stop();
    EXPECT_EQ(log, (std::vector<std::string>{"inner", "outer", "main"}));
    EXPECT_EQ(inner.Loaded(), row.inner);
    EXPECT_EQ(outer.Loaded(), row.outer);
    EXPECT_EQ(main.Loaded(), row.main);

    for (ClosingForm* f : {&inner, &outer, &main}) {
        f->agree();
        f->Unload();
    }
    QApplication::processEvents();
}

INSTANTIATE_TEST_SUITE_P(Refusing, CloseOnRequest,
                         testing::Values(Refusals{"Nobody", false, false, false},
                                         Refusals{"TheInnerModal", true, false, false},
                                         Refusals{"TheOuterModal", false, true, false},
                                         Refusals{"TheMain", false, false, true}),
                         [](const testing::TestParamInfo<Refusals>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace rt::test
