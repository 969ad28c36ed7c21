// Rewriting a whole record file or the grammar file, stopped at any moment
// (the process killed) or by a full disk: the file holds the old records or
// the new ones, never a mix, and a write that fails says so.

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/program/ProgramFixture.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CVocab.h"

namespace {

// Enough records that a rewrite lasts long enough to be stopped in the
// middle of it. The address sanitizer makes it some twenty times slower, and
// the test kills it at 24 moments: there fewer records do.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kRecords = 1000;
#else
constexpr int kRecords = 3000;
#endif

class DurableRewrite : public ProgramFixture {
protected:
    DurableRewrite() { folder.makeVocabFolder(); }

    void writeManyApps() {
        std::vector<std::string> apps;
        for (int i = 0; i < kRecords; ++i)
            apps.push_back(key("Cls" + std::to_string(i), "Title " + std::to_string(i)) + "*Name" +
                           std::to_string(i) + "~Edit$/bin/true");
        writeApps(apps);
    }
    void writeManyPhrases() {
        std::vector<std::string> phrases;
        for (int i = 0; i < kRecords; ++i)
            phrases.push_back("Phrase " + std::to_string(i) + ":^" +
                              std::string(1, static_cast<char>('a' + i % 26)));
        writeVocab("Edit", phrases);
    }
    // The application list filled from the file, line `line` selected.
    void selectApplication(int line) {
        rt::ListBox& list = rt::form<frmApp>()->lstVAppCmd;
        list.Clear();
        CApp().FillVACListBox();
        list.setListIndex(line);
    }
    void selectPhrase(int line) {
        frmVocab& window = rt::form<frmVocab>().get();
        window.lstVocab.Clear();
        window.lstVocab.AddItem("Edit");
        window.lstVocab.setListIndex(0);
        window.lstDictionary.Clear();
        CVocab().FillDictionaryListBox(true, "Edit");
        window.lstDictionary.setListIndex(line);
    }

    // Runs `step` in a child process, killed after `delay` when it is given;
    // the child's exit status (or 128 + the signal).
    static int inChild(const std::function<int()>& step, std::chrono::microseconds delay = {}) {
        pid_t child = fork();
        if (child == 0) {
            int code = 3;
            try {
                code = step();
            } catch (...) {
            }
            _exit(code);
        }
        if (delay.count() > 0) {
            std::this_thread::sleep_for(delay);
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Kills the rewrite at many moments across its run: the file is always
    // the one before or the one after.
    void killAtManyMoments(const std::string& file, const std::function<void()>& prepare,
                           const std::function<void()>& rewrite) {
        prepare();
        const std::string before = folder.read(file);
        auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(inChild([&] { return rewrite(), 0; }), 0);
        auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        const std::string after = folder.read(file);
        ASSERT_NE(after, before);
        constexpr int kMoments = 24;
        int old = 0, fresh = 0;
        for (int k = 1; k <= kMoments; ++k) {
            folder.write(file, before);
            prepare();
            inChild([&] { return rewrite(), 0; }, took * k / kMoments);
            std::string now = folder.read(file);
            ASSERT_TRUE(now == before || now == after)
                << "killed at " << (took * k / kMoments).count() << " us of " << took.count()
                << ": " << now.size() << " bytes";
            ++(now == before ? old : fresh);
        }
        // Kills before the end left the old file (when the run was long
        // enough to be stopped at all).
        if (took > std::chrono::milliseconds(20)) {
            EXPECT_GT(old, 0);
        }
    }
};

TEST_F(DurableRewrite, DeletingAnApplicationKilledAtAnyMomentLeavesAllRecordsBeforeOrAllAfter) {
    writeManyApps();
    killAtManyMoments(
        "vappcmd.txt", [&] { selectApplication(kRecords / 2); }, [] { CApp().DelRunApp(); });
}

TEST_F(DurableRewrite, DeletingAPhraseKilledAtAnyMomentLeavesAllRecordsBeforeOrAllAfter) {
    writeManyPhrases();
    killAtManyMoments(
        "vocab/Edit.txt", [&] { selectPhrase(kRecords / 2); },
        [] { rt::form<frmVocab>()->mnuDelete_Click(); });
}

TEST_F(DurableRewrite, TheGrammarRewriteKilledAtAnyMomentLeavesTheOldGrammarOrTheNew) {
    writeManyApps();
    folder.write("temp.txt",
                 "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch "
                 "to\r\n<start>=Old\r\n");
    killAtManyMoments(
        "temp.txt", [] {}, [] { CFile().TempLoad(); });
}

// A file-size limit stands in for a full disk: a write past it fails.
struct FullDiskCase {
    const char* name;
    const char* file;
    std::function<void(DurableRewrite&)> prepare;
    std::function<void()> rewrite;
};

void PrintTo(const FullDiskCase& c, std::ostream* out) {
    *out << c.name;
}

class FullDisk : public DurableRewrite, public testing::WithParamInterface<FullDiskCase> {
public:
    void writeApplications() { writeManyApps(); }
    void selectLine(int line) { selectApplication(line); }
    void writePhrases() { writeManyPhrases(); }
    void selectWord(int line) { selectPhrase(line); }
    void writeFile(const std::string& name, const std::string& bytes) { folder.write(name, bytes); }
};

TEST_P(FullDisk, LeavesTheOldFileAndSaysItCouldNotBeWritten) {
    GetParam().prepare(*this);
    const std::string before = folder.read(GetParam().file);
    int code = inChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16 * 1024, 16 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        user->answerMsgBox(rt::vbOK, "could not be written because the disk is full");
        GetParam().rewrite();
        return user->pending() == 0 ? 0 : 4;
    });
    EXPECT_EQ(code, 0) << "no message that the file could not be written";
    EXPECT_TRUE(folder.read(GetParam().file) == before) << "the old file was changed";
}

INSTANTIATE_TEST_SUITE_P(
    Rewrites, FullDisk,
    testing::Values(FullDiskCase{"ApplicationDelete", "vappcmd.txt",
                                 [](DurableRewrite& t) {
                                     auto& f = static_cast<FullDisk&>(t);
                                     f.writeApplications();
                                     f.selectLine(5);
                                 },
                                 [] { CApp().DelRunApp(); }},
                    FullDiskCase{"PhraseDelete", "vocab/Edit.txt",
                                 [](DurableRewrite& t) {
                                     auto& f = static_cast<FullDisk&>(t);
                                     f.writePhrases();
                                     f.selectWord(5);
                                 },
                                 [] { rt::form<frmVocab>()->mnuDelete_Click(); }},
                    FullDiskCase{"Grammar", "temp.txt",
                                 [](DurableRewrite& t) {
                                     auto& f = static_cast<FullDisk&>(t);
                                     f.writeApplications();
                                     f.writeFile("temp.txt", "[Grammar]\r\n<start>=Old\r\n");
                                 },
                                 [] { CFile().TempLoad(); }}),
    rt::test::RowName());

} // namespace
