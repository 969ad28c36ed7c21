// One application object for the whole binary, on the offscreen platform so
// the tests need no display.
#include <QByteArray>
#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        rt::qt::installQtView(m_argc, m_argv);
    }
    void TearDown() override { rt::qt::shutdownQtView(); }

private:
    int m_argc = 1;
    char m_name[14] = "qt_view_tests";
    char* m_argv[2] = {m_name, nullptr};
};

[[maybe_unused]] testing::Environment* const kEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
