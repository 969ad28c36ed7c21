// Deleting an application or a phrase removes the bytes of that one record:
// every other record keeps its bytes, also those the lists do not show
// (damage stops the application list and is passed over in the phrase list).

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/forms/UserInput.h"
#include "tests/program/VocabWindowFixture.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"

namespace {

using rt::UserInput;

std::string appRecord(const std::string& text) {
    return rt::test::recordFile({text}, 270);
}

std::string appRecordOf(int i) {
    return appRecord(
        RunningApps::MakeWindowKey("Cls" + std::to_string(i), "Title " + std::to_string(i)) +
        "*Name" + std::to_string(i) + "~Edit$");
}

// Record 4 of ten, each way a record can be damaged.
struct DamageRow {
    const char* name;
    std::string record;
};

void PrintTo(const DamageRow& row, std::ostream* out) {
    *out << row.name;
}

std::string lengthPastTheRecord(size_t length) {
    std::string bad(length, 'x');
    bad[0] = static_cast<char>(0x2C);
    bad[1] = static_cast<char>(0x01); // 300 bytes of text in a record of fewer
    return bad;
}

class DeleteBesideDamage : public VocabWindowFixture,
                           public testing::WithParamInterface<DamageRow> {
protected:
    std::vector<std::string> tenApps() const {
        std::vector<std::string> records;
        for (int i = 1; i <= 10; ++i)
            records.push_back(i == 4 ? GetParam().record : appRecordOf(i));
        return records;
    }
    static std::string join(const std::vector<std::string>& records, size_t skip) {
        std::string bytes;
        for (size_t i = 0; i < records.size(); ++i)
            if (i != skip)
                bytes += records[i];
        return bytes;
    }
};

TEST_P(DeleteBesideDamage, DeletingAnApplicationKeepsEveryOtherRecordsBytes) {
    std::vector<std::string> records = tenApps();
    folder.write("vappcmd.txt", join(records, records.size()));
    rt::ListBox& list = rt::form<frmApp>()->lstVAppCmd;
    CApp app;
    app.FillVACListBox();
    ASSERT_EQ(list.ListCount(), 3); // the list stops at the damage
    list.setListIndex(0);
    app.DelRunApp();
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(folder.read("vappcmd.txt"), join(records, 0));
    EXPECT_EQ(list.ListCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Record4, DeleteBesideDamage,
                         testing::Values(DamageRow{"LengthPastTheRecord", lengthPastTheRecord(270)},
                                         DamageRow{"WithoutAWindowKey", appRecord("no key at all")},
                                         DamageRow{"Empty", appRecord("")}),
                         rt::test::RowName());

class DeleteKeepsRecords : public VocabWindowFixture {};

// The phrase list passes over the damaged record: line 5 shows record 7.
TEST_F(DeleteKeepsRecords, DeletingAPhraseAfterADamagedRecordRemovesThatPhrasesRecordOnly) {
    std::vector<std::string> records;
    for (int i = 1; i <= 10; ++i)
        records.push_back(i == 4
                              ? lengthPastTheRecord(128)
                              : rt::test::recordFile({"Phrase " + std::to_string(i) + ":^p"}, 128));
    std::string before;
    for (const std::string& r : records)
        before += r;
    folder.write("vocab/Edit.txt", before);
    open([&](frmVocab& w) {
        choose(w, "Edit");
        ASSERT_EQ(w.lstDictionary.List(5), "Phrase 7:^p");
        UserInput::selectItem(w.lstDictionary, 5);
        UserInput::chooseMenu(w.mnuDelete);
    });
    EXPECT_TRUE(user->messageBoxes().empty());
    std::string after = before;
    after.erase(6 * 128, 128);
    EXPECT_EQ(folder.read("vocab/Edit.txt"), after);
}

// Of two equal phrases, the one of the selected line goes.
TEST_F(DeleteKeepsRecords, OfTwoEqualPhrasesTheSelectedLinesRecordGoes) {
    writeVocab("Edit", {"Same:^a", "Other:^b", "Same:^a"});
    std::string before = folder.read("vocab/Edit.txt");
    before[3 * 128 - 1] = 'F'; // filler marks the last record
    folder.write("vocab/Edit.txt", before);
    open([&](frmVocab& w) {
        choose(w, "Edit");
        UserInput::selectItem(w.lstDictionary, 2);
        UserInput::chooseMenu(w.mnuDelete);
    });
    EXPECT_EQ(folder.read("vocab/Edit.txt"), before.substr(0, 2 * 128));
}

TEST_F(DeleteKeepsRecords, ALastRecordCutShortKeepsItsBytes) {
    std::string cut = appRecordOf(3).substr(0, 40);
    folder.write("vappcmd.txt", appRecordOf(1) + appRecordOf(2) + cut);
    CApp app;
    app.FillVACListBox();
    rt::form<frmApp>()->lstVAppCmd.setListIndex(1);
    app.DelRunApp();
    EXPECT_EQ(folder.read("vappcmd.txt"), appRecordOf(1) + cut);
}

// More records than the 16-bit record counter reaches: the delete still
// removes exactly one, and at once.
TEST_F(DeleteKeepsRecords, AFileOfMoreRecordsThanTheCounterReachesLosesOnlyTheDeletedOne) {
    constexpr int kRecords = 33000;
    std::string before;
    before.reserve(static_cast<size_t>(kRecords) * 270);
    for (int i = 1; i <= kRecords; ++i)
        before += appRecordOf(i);
    folder.write("vappcmd.txt", before);
    CApp app;
    app.FillVACListBox();
    rt::form<frmApp>()->lstVAppCmd.setListIndex(0);
    app.DelRunApp();
    EXPECT_TRUE(user->messageBoxes().empty());
    std::string after = folder.read("vappcmd.txt");
    EXPECT_EQ(after.size(), before.size() - 270);
    EXPECT_TRUE(after == before.substr(270)) << "records past the deleted one changed";
}

// A data file that is a symbolic link to a file kept elsewhere: the rewrite
// replaces the link's target and the link stays.
struct LinkRow {
    const char* name;
    const char* file;
    std::function<void(DeleteKeepsRecords&)> rewrite;
};

void PrintTo(const LinkRow& row, std::ostream* out) {
    *out << row.name;
}

class LinkedDataFile : public DeleteKeepsRecords, public testing::WithParamInterface<LinkRow> {
public:
    void selectApplication(int line) {
        CApp().FillVACListBox();
        rt::form<frmApp>()->lstVAppCmd.setListIndex(line);
    }
    void openAndDelete() {
        open([&](frmVocab& w) {
            choose(w, "Edit");
            UserInput::selectItem(w.lstDictionary, 0);
            UserInput::chooseMenu(w.mnuDelete);
        });
    }
};

TEST_P(LinkedDataFile, TheRewriteReplacesTheTargetAndKeepsTheLink) {
    writeApps({key("A", "a") + "*Alpha~Edit$", key("B", "b") + "*Beta~Edit$"});
    writeVocab("Edit", {"Copy:^c", "Paste:^v"});
    folder.write("temp.txt", "[Grammar]\r\n");
    const std::filesystem::path link = folder.path() / GetParam().file;
    const std::filesystem::path kept = folder.path() / "kept" / "data.txt";
    std::filesystem::create_directories(kept.parent_path());
    std::filesystem::rename(link, kept);
    std::filesystem::create_symlink(kept, link);
    const std::string before = folder.read(GetParam().file);
    GetParam().rewrite(*this);
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link was replaced by a plain file";
    EXPECT_NE(folder.read("kept/data.txt"), before) << "the target was not rewritten";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kept.parent_path()),
                            std::filesystem::directory_iterator()),
              1)
        << "a new file was left beside the target";
}

INSTANTIATE_TEST_SUITE_P(
    Rewrites, LinkedDataFile,
    testing::Values(LinkRow{"ApplicationDelete", "vappcmd.txt",
                            [](DeleteKeepsRecords& t) {
                                static_cast<LinkedDataFile&>(t).selectApplication(0);
                                CApp().DelRunApp();
                            }},
                    LinkRow{"Grammar", "temp.txt", [](DeleteKeepsRecords&) { CFile().TempLoad(); }},
                    LinkRow{"PhraseDelete", "vocab/Edit.txt",
                            [](DeleteKeepsRecords& t) {
                                static_cast<LinkedDataFile&>(t).openAndDelete();
                            }}),
    rt::test::RowName());

} // namespace
