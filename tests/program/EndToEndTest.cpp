// The program as a user runs it, twice: start-up with the layout library
// registered, spoken commands through the recogniser, closing the window,
// and what the run leaves behind for the next one.

#include <filesystem>
#include <string>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/registry/Registry.h"
#include "runtime/speech/ScriptedEngine.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kHeader =
    "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";

class EndToEnd : public ProgramFixture {
protected:
    EndToEnd() {
        rt::components::registerLibrary(TLV_FORM_CONTROLS);
        folder.makeVocabFolder();
    }

    frmQuibo& start() {
        Program::reset();
        frmQuibo& main = rt::form<frmQuibo>().get();
        main.Show();
        return main;
    }
    void say(frmQuibo& main, const std::string& phrase) {
        EXPECT_TRUE(dynamic_cast<rt::speech::ScriptedEngine&>(main.DirectSR1->engine()).say(phrase))
            << phrase;
    }
    static std::string placement(const std::string& name) {
        return ProgramFixture::placement("frmQuibo", name);
    }
};

TEST_F(EndToEnd, SpokenCommandsThenClosingLeaveTheFilesAndPlacementForTheNextRun) {
    rt::HWND editor = addWindow("Editor", "notes.txt", true);
    folder.write("term.sh", "#!/bin/sh\n");
    const std::string apps = rt::test::recordFile(
        {key("Editor", "notes.txt") + "*Notes~Edit$",
         key("Term", "shell") + "*Terminal~Edit$" + (folder.path() / "term.sh").string()},
        270);
    folder.write("vappcmd.txt", apps);
    writeVocab("Edit", {"Copy:^c", "Save:^s"});
    // What the last rewrite of the grammar left, and what closing leaves.
    const std::string grammar =
        kHeader + "<start>=Notes\r\n<start>=Terminal\r\n<start>=Copy\r\n<start>=Save\r\n";
    folder.write("temp.txt", grammar);

    frmQuibo& main = start();
    EXPECT_EQ(main.stbVCmd.PanelText(2), "Listening") << "start-up reported a problem";
    ASSERT_NE(main.flocQuibo.object(), nullptr);

    say(main, "Notes");
    EXPECT_EQ(rt::GetForegroundWindow(), editor);
    EXPECT_FALSE(rt::IsIconic(editor));
    say(main, "Copy");
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLc>CTRL");
    say(main, "Terminal");
    ASSERT_EQ(shell->started().size(), 1u);
    EXPECT_EQ(shell->started()[0].file, (folder.path() / "term.sh").string());
    EXPECT_EQ(main.stbVCmd.PanelText(1), "Terminal");
    EXPECT_FALSE(dynamic_cast<rt::speech::ScriptedEngine&>(main.DirectSR1->engine()).say("Paste"));

    // The user moves the window, then closes it.
    main.Move(3000, 2000, 4440, 1470);
    rt::form<frmQuibo>().unload();
    EXPECT_TRUE(Program::Ended());
    EXPECT_EQ(folder.read("vappcmd.txt"), apps);
    EXPECT_EQ(folder.read("temp.txt"), grammar);
    EXPECT_EQ(placement("Left"), "3000");
    EXPECT_EQ(placement("Top"), "2000");
    EXPECT_EQ(placement("Width"), "4440");
    EXPECT_EQ(placement("Height"), "1470");
    EXPECT_EQ(placement("WindowState"), "0");
    // The windows that closing loaded again go without their handlers: the
    // grammar file is not written once more.
    Program::DiscardForms();
    EXPECT_FALSE(rt::form<frmApp>().isLoaded());
    EXPECT_FALSE(rt::form<frmVocab>().isLoaded());
    EXPECT_FALSE(rt::form<frmQuibo>().isLoaded());
    EXPECT_EQ(folder.read("temp.txt"), grammar);

    // The next run opens where this one was left and hears the vocabulary.
    frmQuibo& again = start();
    EXPECT_EQ(again.Left(), 3000);
    EXPECT_EQ(again.Top(), 2000);
    say(again, "Notes");
    EXPECT_EQ(rt::GetForegroundWindow(), editor);
    say(again, "Save");
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLc>CTRL<CTRLs>CTRL");
}

} // namespace
