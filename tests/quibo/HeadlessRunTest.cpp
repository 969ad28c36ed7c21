// Quibo run headless, as the README shows it: the other programs' windows
// come from a file, each line of input is a phrase, and the output tells
// what each phrase did.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/quibo/QuiboProcess.h"
#include "tests/support/ProgramFolder.h"

namespace {

namespace fs = std::filesystem;

class HeadlessRun : public testing::Test {
protected:
    // Runs the copy with `input` as its standard input; returns its
    // standard output, and its standard error in `errors`.
    std::string run(const std::string& input, std::string& errors, int& status) {
        m_copy.write("input.txt", input);
        std::string command =
            "cd '" + m_dir.string() +
            "' && env -u DISPLAY QUIBO_BACKENDS=sim QUIBO_SIM_WINDOWS=windows.txt "
            "QUIBO_REGISTRY_DIR=registry ./quibo <input.txt >output.txt "
            "2>errors.txt";
        status = std::system(command.c_str());
        errors = m_copy.read("errors.txt");
        return m_copy.read("output.txt");
    }
    // The output without the status bar's second panel, which tells what
    // the run lacks (here the layout library) rather than what it did.
    static std::string firstPanels(const std::string& out) {
        std::string kept;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            kept += line.substr(0, line.find('\t')) + "\n";
        return kept;
    }

    quibo::test::ProgramCopy m_copy;
    const fs::path& m_dir = m_copy.folder();
};

TEST_F(HeadlessRun, EachPhraseSaysWhatItSwitchedTypedAndOpened) {
    const std::string bar = "\xA6"; // the window key's separator, in ANSI
    m_copy.write("vappcmd.txt", rt::test::recordFile({"Editor " + bar + " notes.txt*notes~Editing$",
                                                      "Term " + bar + " shell*readme~Editing$" +
                                                          (m_dir / "readme.txt").string()},
                                                     270));
    m_copy.write("vocab/Editing.txt", rt::test::recordFile({"save:^s", "new line:~"}, 128));
    m_copy.write("readme.txt", "hello\n");
    m_copy.write("temp.txt", "[Grammar]\nlangid = 1033\ntype=cfg\n[<start>]\n<start>=switch to\n"
                             "<start>=notes\n<start>=readme\n<start>=save\n<start>=new line\n");
    m_copy.write("windows.txt",
                 "# class, title, flags\nBrowser\tNews\tfront\nEditor\tnotes.txt\ticonic\n");
    std::string errors;
    int status = 0;
    std::string out = run("notes\nsave\nnew line\nreadme\nhello\n", errors, status);
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(firstPanels(out),
              "notes\n"
              "  front: Editor \xC2\xA6 notes.txt\n"
              "save\n"
              "  typed into Editor \xC2\xA6 notes.txt: ^s\n"
              "new line\n"
              "  typed into Editor \xC2\xA6 notes.txt: {ENTER}\n"
              "readme\n"
              "  opened: " +
                  (m_dir / "readme.txt").string() +
                  "\n"
                  "readme\n"
                  "  not heard: the grammar has no such phrase, or listening is paused\n")
        << errors;
}

// Input and output are UTF-8; the files hold the program's ANSI text.
TEST_F(HeadlessRun, APhraseIsReadAndShownAsUtf8AndALineNoAnsiTextHoldsIsSkipped) {
    const std::string bar = "\xA6";
    m_copy.write("vappcmd.txt",
                 rt::test::recordFile({"Editor " + bar + " notes.txt*caf\xE9~Editing$"}, 270));
    m_copy.write("vocab/Editing.txt", rt::test::recordFile({"na\xEFve caf\xE9:^s"}, 128));
    m_copy.write("temp.txt", "[Grammar]\nlangid = 1033\ntype=cfg\n[<start>]\n<start>=caf\xE9\n"
                             "<start>=na\xEFve caf\xE9\n");
    m_copy.write("windows.txt", "Editor\tnotes.txt\tfront\n");
    std::string errors;
    int status = 0;
    std::string out = run("na\xC3\xAFve caf\xC3\xA9\n"
                          "\xE6\x97\xA5\xE6\x9C\xAC\n" // two characters Windows-1252 lacks
                          "caf\xE9\n"                  // not UTF-8
                          "na\xC3\xAFve caf\xC3\xA9\n",
                          errors, status);
    EXPECT_EQ(status, 0) << errors;
    const std::string said = "na\xC3\xAFve caf\xC3\xA9\n"
                             "  typed into Editor \xC2\xA6 notes.txt: ^s\n";
    EXPECT_EQ(firstPanels(out), said + said) << errors;
    size_t told = 0;
    for (size_t at = 0; (at = errors.find("skipped a line of input", at)) != std::string::npos;
         ++at)
        ++told;
    EXPECT_EQ(told, 2u) << errors;
}

// Quibo's own window is in front when the name is spoken: taking the focus
// back to it is no change of the foreground.
TEST_F(HeadlessRun, OnlyARealChangeOfTheForegroundIsPrinted) {
    const std::string bar = "\xA6";
    m_copy.write("vappcmd.txt",
                 rt::test::recordFile({"Editor " + bar + " notes.txt*notes~Editing$"}, 270));
    m_copy.write("temp.txt", "[Grammar]\nlangid = 1033\ntype=cfg\n[<start>]\n<start>=notes\n");
    m_copy.write("windows.txt", "Editor\tnotes.txt\n");
    std::string errors;
    int status = 0;
    std::string out = run("notes\nnotes\n", errors, status);
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(firstPanels(out),
              "notes\n"
              "  front: Editor \xC2\xA6 notes.txt\n"
              "notes\n"
              "  nothing done: no window switched, no keys typed, nothing started\n")
        << errors;
}

TEST_F(HeadlessRun, AWindowsFileThatCannotBeReadIsToldAndTheRunGoesOn) {
    std::string errors;
    int status = 0;
    std::string out = run("", errors, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "");
    EXPECT_NE(errors.find("cannot read the windows file windows.txt"), std::string::npos) << errors;
}

} // namespace
