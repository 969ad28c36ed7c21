#pragma once
// A fresh scripted user per test; forms a test leaves loaded are unloaded
// and released afterwards.

#include <memory>

#include <gtest/gtest.h>

#include "runtime/forms/FormRef.h"
#include "runtime/forms/ScriptedUser.h"

namespace rt::test {

class FormsTest : public testing::Test {
protected:
    void SetUp() override { user = ScriptedUser::install(); }
    void TearDown() override {
        releaseUnloadedForms();
        EXPECT_EQ(user->pending(), 0u) << "script steps left unused";
    }

    std::shared_ptr<ScriptedUser> user;
};

} // namespace rt::test
