// The container's geometry records: keyed by control name, in the order added.

#include "FormLocation/pCtlsInfo.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace tlvFormControls {
namespace {

using rt::Variant;
using rt::test::errorOf;

TEST(pCtlsInfo, AddStoresTheGeometryUnderTheNameAndLeavesTheFontSizeToTheCaller) {
    pCtlsInfo records;
    std::shared_ptr<pCtlInfo> added = records.Add("txtName", 720, 360, 480, 960);
    EXPECT_EQ(added->ControlName(), "txtName");
    EXPECT_EQ(added->nHeight(), 720);
    EXPECT_EQ(added->nTop(), 360);
    EXPECT_EQ(added->nLeft(), 480);
    EXPECT_EQ(added->nWidth(), 960);
    EXPECT_EQ(added->CtlFontSize(), 0);
    added->setCtlFontSize(8.25f);
    // Item hands out the stored record itself, by key and by position.
    EXPECT_EQ(records.Item(Variant("txtName")), added);
    EXPECT_EQ(records.Item(Variant(1)), added);
    EXPECT_EQ(records.Item(Variant("txtName"))->CtlFontSize(), 8.25f);
}

TEST(pCtlsInfo, ANameAlreadyRecordedIsRefusedAndTheFirstRecordKept) {
    pCtlsInfo records;
    records.Add("cmdOk", 1, 2, 3, 4);
    // Control names are compared as the form compares them: case aside.
    for (const char* name : {"cmdOk", "CMDOK"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorOf([&] { records.Add(name, 10, 20, 30, 40); }), rt::kKeyAlreadyAssociated);
        EXPECT_EQ(records.Count(), 1);
        EXPECT_EQ(records.Item(Variant("cmdOk"))->nHeight(), 1);
    }
}

TEST(pCtlsInfo, MissingItemsRaiseTheCollectionsErrors) {
    pCtlsInfo records;
    records.Add("a", 1, 1, 1, 1);
    struct Row {
        const char* name;
        Variant key;
        int error;
    };
    const Row rows[] = {{"unknown key", Variant("b"), rt::kInvalidProcedureCall},
                        {"position past the end", Variant(2), rt::kSubscriptOutOfRange},
                        {"position zero", Variant(0), rt::kSubscriptOutOfRange}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(errorOf([&] { records.Item(row.key); }), row.error);
        EXPECT_EQ(errorOf([&] { records.Remove(row.key); }), row.error);
    }
    EXPECT_EQ(records.Count(), 1);
}

TEST(pCtlsInfo, RemoveAndEnumerationKeepTheOrderOfAdding) {
    pCtlsInfo records;
    for (const char* name : {"a", "b", "c", "d"})
        records.Add(name, 0, 0, 0, 0);
    records.Remove(Variant("b"));
    records.Remove(Variant(3)); // "d", now third
    std::vector<std::string> names;
    for (const auto& record : records.NewEnum())
        names.push_back(record->ControlName());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(records.Count(), 2);
    // A removed name can be recorded again.
    records.Add("b", 5, 5, 5, 5);
    EXPECT_EQ(records.Item(Variant(3))->ControlName(), "b");
}

} // namespace
} // namespace tlvFormControls
