#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Line.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

namespace {

class HostForm : public Form {
public:
    explicit HostForm(std::optional<PropertyBag> description = std::nullopt,
                      std::string progId = "QuiboTest.Probe")
        : Form("frmHost", "Host"),
          probe(*this, "ctlProbe", std::move(progId), std::move(description)) {
        // The probe's own width: its first resize then changes nothing.
        probe.Move(0, 0, 600, 300);
    }

    ControlSite probe;
    CommandButton inside{*this, "cmdInside"};
    Line line{*this, "linInside"};
    CommandButton outside{*this, "cmdOutside"};
};

class UserControlTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("usercontrol");
        registry::setFolder(m_dir.string());
        components::registerLibrary(PROBE_CONTROL);
        m_user = ScriptedUser::install();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    static std::string log(ControlSite& site) { return site.get("Log").toString(); }

    std::filesystem::path m_dir;
    std::shared_ptr<ScriptedUser> m_user;
};

TEST_F(UserControlTest, TheFormsLoadCreatesTheControlAndItsUnloadEndsIt) {
    HostForm form;
    EXPECT_EQ(form.probe.object(), nullptr);
    form.Show();
    ASSERT_NE(form.probe.object(), nullptr);
    form.Hide();
    form.Show();
    EXPECT_EQ(log(form.probe), "Initialize InitProperties Resize Show Show");
    std::shared_ptr<Dispatch> object = form.probe.object()->shared_from_this();
    form.Unload();
    EXPECT_EQ(form.probe.object(), nullptr);
    EXPECT_EQ(object->get("Log").toString(),
              "Initialize InitProperties Resize Show Show Terminate");
}

TEST_F(UserControlTest, StoredPropertiesAreReadInsteadOfInitialised) {
    struct Row {
        const char* name;
        std::optional<PropertyBag> description;
        int32_t value;
        const char* log;
    };
    const Row rows[] = {
        {"new instance", std::nullopt, 1, "Initialize InitProperties Resize"},
        {"stored value", PropertyBag::fromText("Value = 42"), 42,
         "Initialize ReadProperties Resize"},
        {"default left out", PropertyBag(), 7, "Initialize ReadProperties Resize"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostForm form(row.description);
        form.runLoad();
        EXPECT_EQ(form.probe.get("Value").toLong(), row.value);
        EXPECT_EQ(log(form.probe), row.log);
        form.Unload();
    }
}

TEST_F(UserControlTest, WritingPropertiesLeavesOutDefaultsAndChangesReachTheHost) {
    HostForm form;
    form.runLoad();
    std::vector<std::string> changed;
    form.probe.PropertyChanged.connect([&](const std::string& name) { changed.push_back(name); });
    form.probe.let("Value", Variant(7));
    EXPECT_FALSE(form.probe.saveProperties().contains("Value"));
    form.probe.let("Value", Variant(9));
    EXPECT_EQ(form.probe.saveProperties().ReadProperty("Value").toLong(), 9);
    EXPECT_EQ(changed, (std::vector<std::string>{"Value", "Value"}));
    form.Unload();
}

TEST_F(UserControlTest, LateBoundCallsReachTheExtenderFirstAndTheObjectAfter) {
    HostForm form;
    form.runLoad();
    ControlSite& site = form.probe;
    EXPECT_EQ(site.get("Name").toString(), "ctlProbe");
    EXPECT_EQ(site.get("value").toLong(), 1);
    // Move by the extender's identifier; the control keeps its own width.
    site.Invoke(DISPID_EXTENDER_MOVE, InvokeKind::Method,
                std::vector<Variant>{Variant(120), Variant(240), Variant(900), Variant(450)});
    EXPECT_EQ(site.Left(), 120);
    EXPECT_EQ(site.Top(), 240);
    EXPECT_EQ(site.Width(), 600);
    EXPECT_EQ(site.Height(), 450);
    // The parent is the form itself, late-bound.
    DispatchPtr parent = site.get("Parent").toObject();
    EXPECT_EQ(parent.get(), static_cast<Dispatch*>(&form));
    EXPECT_EQ(parent->get("Name").toString(), "frmHost");
    EXPECT_EQ(errorOf([&] { site.get("NoSuchMember"); }), kObjectDoesNotSupport);
    form.Unload();
}

TEST_F(UserControlTest, TheSurfaceSeesItsAmbientAndItsContainedControls) {
    HostForm form;
    form.probe.setUserMode(false);
    form.inside.setContainer(&form.probe);
    form.line.setContainer(&form.probe);
    form.runLoad();
    UserControl& object = *form.probe.object();
    EXPECT_EQ(form.probe.call("Ambient").toString(), "ctlProbe/design");
    EXPECT_EQ(object.ContainedControls(), (std::vector<Control*>{&form.inside, &form.line}));
    EXPECT_EQ(object.ParentControls().size(), 4u);
    EXPECT_EQ(&object.Parent(), &form);
    form.Unload();
}

TEST_F(UserControlTest, TheSurfaceFollowsOnlyTheFontItUsesAndOnlyWhileItLives) {
    auto shared = std::make_shared<rt::Font>();
    {
        HostForm form;
        form.runLoad();
        UserControl& object = *form.probe.object();
        auto original = object.Font();
        object.setFont(shared);
        int changes = 0;
        object.Changed.connect([&] { ++changes; });
        original->setSize(20);
        EXPECT_EQ(changes, 0);
        shared->setSize(12);
        EXPECT_EQ(changes, 1);
        form.Unload();
    }
    // The surface is gone; the font it shared is still in use elsewhere.
    shared->setSize(14);
    EXPECT_EQ(shared->Size(), 14);
}

TEST_F(UserControlTest, AControlCannotContainItself) {
    HostForm form;
    form.inside.setContainer(&form.probe);
    EXPECT_EQ(errorOf([&] { form.probe.setContainer(&form.inside); }), kInvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { form.probe.setContainer(&form.probe); }), kInvalidPropertyValue);
    EXPECT_EQ(form.probe.Container(), nullptr);
}

TEST_F(UserControlTest, TheUsersClickOnTheSiteReachesTheSurface) {
    HostForm form;
    form.Show();
    UserInput::click(form.probe);
    EXPECT_EQ(log(form.probe), "Initialize InitProperties Resize Show Click");
    form.Unload();
}

TEST_F(UserControlTest, AControlThatCannotBeCreatedLeavesTheFormWorking) {
    struct Row {
        const char* progId;
        std::optional<PropertyBag> description;
        int32_t error;
    };
    const Row rows[] = {{"QuiboTest.Missing", std::nullopt, kCannotCreateObject},
                        {"QuiboTest.NotAControl", std::nullopt, kTypeMismatch},
                        {"QuiboTest.Probe", PropertyBag::fromText("Value = -1"),
                         kInvalidPropertyValue}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.progId);
        HostForm form(row.description, row.progId);
        form.Show();
        EXPECT_EQ(form.probe.object(), nullptr);
        ASSERT_TRUE(form.probe.creationError().has_value());
        EXPECT_EQ(form.probe.creationError()->number(), row.error);
        // The extender still works; the object's members raise why it is missing.
        EXPECT_EQ(form.probe.get("Name").toString(), "ctlProbe");
        EXPECT_EQ(errorOf([&] { form.probe.call("Ambient"); }), row.error);
        form.Unload();
    }
}

} // namespace
