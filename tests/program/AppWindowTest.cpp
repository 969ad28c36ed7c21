// The application configuration window as a user works it: opened from the
// main window's Configure button, running windows dragged into the list,
// applications named, saved, started, activated and deleted, the switch to
// the vocabulary window, and the checks and grammar rewrite of closing.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/backends/sim/SimHelp.h"
#include "runtime/com/ComponentRegistry.h"
#include "runtime/core/App.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/CApp.h"
#include "voicecommand/frmVolSet.h"

namespace {

using rt::UserInput;

const std::string kHeader =
    "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";

class AppWindow : public ProgramFixture {
protected:
    AppWindow() {
        folder.makeVocabFolder();
        // Each window's unload loads the other to empty its list, so an
        // earlier test may leave one loaded, with list windows of its own
        // desktop; it goes without its handlers.
        Program::DiscardForms();
    }

    // Opens the window from the main window; `actions` run while it shows.
    // A window the actions left open is closed from its title bar.
    void configure(const std::function<void(frmApp&)>& actions) {
        frmQuibo& main = rt::form<frmQuibo>().isLoaded() ? *rt::form<frmQuibo>() : start();
        user->whileModal("frmApp", [&](rt::Form& f) {
            actions(static_cast<frmApp&>(f));
            if (f.Loaded() && f.Visible())
                UserInput::closeForm(f);
        });
        UserInput::click(main.cmdConfigure);
        EXPECT_EQ(user->pending(), 0u) << "a scripted step was not reached";
    }
    // Presses a mouse button on the running window's line and drops the drag
    // on the application list. A left press selects the line itself; the
    // right one leaves the selection, so the line is clicked first.
    static void dragRunning(frmApp& w, const std::string& windowKey,
                            int button = rt::vbLeftButton) {
        int line = -1;
        for (int i = 0; i < w.lstRunApp.ListCount(); ++i)
            if (w.lstRunApp.List(i) == windowKey)
                line = i;
        ASSERT_GE(line, 0) << windowKey << " is not running";
        if (button != rt::vbLeftButton)
            UserInput::selectItem(w.lstRunApp, line);
        dragFromRunningList(w, button, button == rt::vbLeftButton ? line : -1);
    }
    static void dragFromRunningList(frmApp& w, int button = rt::vbLeftButton, int line = -1) {
        UserInput::pressItem(w.lstRunApp, line, button, 0, 200, 400);
        UserInput::dragOver(w.lstVAppCmd);
        UserInput::drop(w.lstVAppCmd);
    }
    // Selects the whole text of the box and types over it.
    static void retype(rt::TextBox& box, const std::string& text) {
        UserInput::focus(box);
        box.setSelStart(0);
        box.setSelLength(static_cast<int>(box.Text().size()));
        UserInput::typeText(box, text);
    }
    static std::vector<std::string> lines(const rt::ListBox& list) {
        std::vector<std::string> out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }
    static std::vector<std::string> sorted(std::vector<std::string> texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    std::string appFile(const std::vector<std::string>& records) const {
        return rt::test::recordFile(records, 270);
    }
    std::vector<std::string> prompts() const {
        std::vector<std::string> out;
        for (const rt::MessageBoxRequest& box : user->messageBoxes())
            out.push_back(box.prompt);
        return out;
    }

    const std::string editor = key("Editor", "notes.txt");
    const std::string term = key("Term", "shell");
};

// ---- registering a running window by drag and drop -------------------------

struct DropRow {
    const char* name;
    std::vector<std::string> records; // the application file before
    std::string dragged;              // window key of the running line; empty: none picked
    int button;
    std::vector<std::string> expectedRecords;
    std::vector<std::string> expectedPrompts;
};

class AppWindowDrop : public AppWindow, public testing::WithParamInterface<DropRow> {};

TEST_P(AppWindowDrop, ARunningWindowDroppedOnTheListBecomesTheLastApplication) {
    const DropRow& row = GetParam();
    addWindow("Editor", "notes.txt");
    addWindow("Term", "shell");
    writeApps(row.records);
    configure([&](frmApp& w) {
        for (const std::string& prompt : row.expectedPrompts)
            user->answerMsgBox(rt::vbOK, prompt);
        if (row.dragged.empty())
            dragFromRunningList(w, row.button);
        else
            dragRunning(w, row.dragged, row.button);
        std::vector<std::string> expectedLines;
        for (const std::string& record : row.expectedRecords)
            expectedLines.push_back(record.substr(0, record.find('*')));
        EXPECT_EQ(lines(w.lstVAppCmd), expectedLines);
        // The drag image: one text line, as wide as the list, never shown.
        EXPECT_FALSE(w.lblApp.Visible());
        EXPECT_EQ(w.lblApp.Width(), w.lstRunApp.Width());
        EXPECT_EQ(w.lblApp.Height(), w.TextHeight("A"));
    });
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile(row.expectedRecords));
    EXPECT_EQ(prompts(), row.expectedPrompts);
    for (const rt::MessageBoxRequest& box : user->messageBoxes())
        EXPECT_EQ(box.title, rt::App().Title());
}

const char* const kDuplicate = "You Already Have An Entry With This Name!";

INSTANTIATE_TEST_SUITE_P(AppWindow, AppWindowDrop,
                         testing::Values(DropRow{"IntoAnEmptyList",
                                                 {},
                                                 "Editor \xA6 notes.txt",
                                                 rt::vbLeftButton,
                                                 {"Editor \xA6 notes.txt*"},
                                                 {}},
                                         DropRow{
                                             "AfterTheSelectedApplication",
                                             {"Term \xA6 shell*Shell~V$"},
                                             "Editor \xA6 notes.txt",
                                             rt::vbLeftButton,
                                             {"Term \xA6 shell*Shell~V$", "Editor \xA6 notes.txt*"},
                                             {}},
                                         DropRow{"WithTheRightButton",
                                                 {},
                                                 "Term \xA6 shell",
                                                 rt::vbRightButton,
                                                 {"Term \xA6 shell*"},
                                                 {}},
                                         DropRow{"AlreadyListed",
                                                 {"Editor \xA6 notes.txt*Notes~V$"},
                                                 "Editor \xA6 notes.txt",
                                                 rt::vbLeftButton,
                                                 {"Editor \xA6 notes.txt*Notes~V$"},
                                                 {kDuplicate}},
                                         DropRow{"AlreadyListedInOtherLetterCase",
                                                 {"EDITOR \xA6 NOTES.TXT*Notes~V$"},
                                                 "Editor \xA6 notes.txt",
                                                 rt::vbLeftButton,
                                                 {"EDITOR \xA6 NOTES.TXT*Notes~V$"},
                                                 {kDuplicate}},
                                         DropRow{"NoRunningWindowPicked",
                                                 {"Term \xA6 shell*Shell~V$"},
                                                 "",
                                                 rt::vbLeftButton,
                                                 {"Term \xA6 shell*Shell~V$"},
                                                 {}}),
                         rt::test::RowName());

TEST_F(AppWindow, SuccessiveDropsKeepTheirOrderInListAndFile) {
    addWindow("Editor", "notes.txt");
    addWindow("Term", "shell");
    configure([&](frmApp& w) {
        dragRunning(w, editor);
        dragRunning(w, term);
        EXPECT_EQ(lines(w.lstVAppCmd), (std::vector<std::string>{editor, term}));
    });
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile({editor + "*", term + "*"}));
}

// ---- selecting and saving ----------------------------------------------------

TEST_F(AppWindow, SelectingShowsTheStoredRecordAndSavingRewritesIt) {
    writeApps({editor + "*Notes~Edit$/usr/bin/editor", term + "*Shell~$"});
    writeVocab("Edit", {"Copy:^c"});
    writeVocab("Mail", {"Send:^s"});
    configure([&](frmApp& w) {
        EXPECT_EQ(w.txtVActivate.Text(), "Notes");
        EXPECT_EQ(w.cmbVocabulary.Text(), "Edit");
        EXPECT_EQ(w.txtPath.Text(), "/usr/bin/editor");
        UserInput::selectItem(w.lstVAppCmd, 1);
        EXPECT_EQ(w.txtVActivate.Text(), "Shell");
        EXPECT_EQ(w.cmbVocabulary.Text(), "");
        EXPECT_EQ(w.txtPath.Text(), "");

        retype(w.txtVActivate, "Terminal");
        int mail = -1;
        for (int i = 0; i < w.cmbVocabulary.ListCount(); ++i)
            if (w.cmbVocabulary.List(i) == "Mail")
                mail = i;
        ASSERT_GE(mail, 0);
        UserInput::selectItem(w.cmbVocabulary, mail);
        retype(w.txtPath, "/usr/bin/term");
        UserInput::click(w.cmdSaveVocab);
        // The menu item saves the same way.
        UserInput::selectItem(w.lstVAppCmd, 0);
        retype(w.txtPath, "");
        UserInput::chooseMenu(w.mnuSaveCmd);
    });
    EXPECT_EQ(folder.read("vappcmd.txt"),
              appFile({editor + "*Notes~Edit$", term + "*Terminal~Mail$/usr/bin/term"}));
    EXPECT_TRUE(user->messageBoxes().empty());
}

TEST_F(AppWindow, SavingWithoutASelectionSelectsTheFirstLineAndAsksForOne) {
    writeApps({editor + "*Notes~Edit$", term + "*Shell~Edit$"});
    configure([&](frmApp& w) {
        UserInput::selectItem(w.lstVAppCmd, 1);
        UserInput::chooseMenu(w.mnuDelete);
        ASSERT_EQ(w.lstVAppCmd.ListIndex(), -1);
        user->answerMsgBox(rt::vbOK, "You must select a Voice Application!");
        UserInput::click(w.cmdSaveVocab);
        EXPECT_EQ(w.lstVAppCmd.ListIndex(), 0);
        EXPECT_EQ(w.txtVActivate.Text(), "Notes");
        EXPECT_EQ(w.ActiveControl(), &w.txtVActivate);
        EXPECT_EQ(w.txtVActivate.SelStart(), 0);
        EXPECT_EQ(w.txtVActivate.SelLength(), 5);
    });
    EXPECT_EQ(user->messageBoxes().at(0).title, rt::App().Title());
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile({editor + "*Notes~Edit$"}));
}

TEST_F(AppWindow, SavingOnAnEmptyListSaysThereIsNothingToSave) {
    configure([&](frmApp& w) {
        user->answerMsgBox(rt::vbOK, "There is nothing to save!");
        UserInput::click(w.cmdSaveVocab);
    });
    ASSERT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->messageBoxes()[0].title, "No item to save");
}

// ---- running, activating, deleting -------------------------------------------

TEST_F(AppWindow, RunStartsThePathReadAtSelectionNotTheEditedOne) {
    folder.write("tool.sh", "#!/bin/sh\n");
    const std::string tool = (folder.path() / "tool.sh").string();
    writeApps({editor + "*Tool~Edit$" + tool});
    configure([&](frmApp& w) {
        retype(w.txtPath, "/nowhere/else");
        UserInput::chooseMenu(w.mnuRun);
        UserInput::dblClick(w.lstVAppCmd);
    });
    ASSERT_EQ(shell->started().size(), 2u);
    for (const rt::SimShell::Call& call : shell->started()) {
        EXPECT_EQ(call.verb, "start");
        EXPECT_EQ(call.file, tool);
    }
    EXPECT_TRUE(user->messageBoxes().empty());
}

TEST_F(AppWindow, RunRefusesAFolderThatTheShellButtonOpens) {
    const std::string docs = (folder.path() / "docs").string();
    std::filesystem::create_directories(docs);
    writeApps({editor + "*Docs~Edit$" + docs});
    configure([&](frmApp& w) {
        user->answerMsgBox(rt::vbOK, "You must enter a valid Path/Filename!");
        UserInput::chooseMenu(w.mnuRun);
        UserInput::clickButton(w.tbrApp, "Shell");
    });
    ASSERT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->messageBoxes()[0].title, "Invalid Path/Filename");
    ASSERT_EQ(shell->started().size(), 1u);
    EXPECT_EQ(shell->started()[0].file, docs);
}

TEST_F(AppWindow, ActivateFromMenuAndToolbarRaisesTheSelectedWindow) {
    rt::HWND notes = addWindow("Editor", "notes.txt", true);
    rt::HWND shellWindow = addWindow("Term", "shell", true);
    writeApps({editor + "*Notes~Edit$", term + "*Shell~Edit$"});
    configure([&](frmApp& w) {
        UserInput::chooseMenu(w.mnuActivate);
        EXPECT_EQ(rt::GetForegroundWindow(), notes);
        UserInput::selectItem(w.lstVAppCmd, 1);
        UserInput::clickButton(w.tbrApp, "Activate");
        EXPECT_EQ(rt::GetForegroundWindow(), shellWindow);
        EXPECT_FALSE(rt::IsIconic(shellWindow));
    });
}

TEST_F(AppWindow, ActivatingWithNothingSelectedSaysSo) {
    configure([&](frmApp& w) {
        user->answerMsgBox(rt::vbOK, "No application selected to activate.");
        UserInput::clickButton(w.tbrApp, "Activate");
    });
}

struct DeleteRow {
    const char* name;
    bool fromToolbar;
    int answer; // to the toolbar's question
    bool deleted;
};

class AppWindowDelete : public AppWindow, public testing::WithParamInterface<DeleteRow> {};

TEST_P(AppWindowDelete, OnlyTheToolbarAsksBeforeDeleting) {
    const DeleteRow& row = GetParam();
    writeApps({editor + "*Notes~Edit$", term + "*Shell~Edit$"});
    configure([&](frmApp& w) {
        UserInput::selectItem(w.lstVAppCmd, 0);
        if (row.fromToolbar) {
            user->answerMsgBox(row.answer, "Warning!  You are about to delete a voice-controlled "
                                           "application are you sure you want to proceed?");
            UserInput::clickButton(w.tbrApp, "DelApp");
        } else {
            UserInput::chooseMenu(w.mnuDelete);
        }
        EXPECT_EQ(w.lstVAppCmd.ListCount(), row.deleted ? 1 : 2);
    });
    if (row.fromToolbar) {
        ASSERT_EQ(user->messageBoxes().size(), 1u);
        EXPECT_EQ(user->messageBoxes()[0].title, "Delete Voice-Controlled Application");
        EXPECT_EQ(user->messageBoxes()[0].buttons, rt::vbOKCancel);
    } else {
        EXPECT_TRUE(user->messageBoxes().empty());
    }
    EXPECT_EQ(folder.read("vappcmd.txt"),
              row.deleted ? appFile({term + "*Shell~Edit$"})
                          : appFile({editor + "*Notes~Edit$", term + "*Shell~Edit$"}));
}

INSTANTIATE_TEST_SUITE_P(AppWindow, AppWindowDelete,
                         testing::Values(DeleteRow{"MenuDeletesAtOnce", false, 0, true},
                                         DeleteRow{"ToolbarOk", true, rt::vbOK, true},
                                         DeleteRow{"ToolbarCancel", true, rt::vbCancel, false}),
                         rt::test::RowName());

// ---- switching to the vocabulary window --------------------------------------

TEST_F(AppWindow, OnlyLaterSwitchesRefillTheVocabularyList) {
    writeVocab("Edit", {"Copy:^c"});
    writeVocab("Mail", {"Send:^s"});
    std::vector<std::vector<std::string>> seen;
    configure([&](frmApp& w) {
        user->whileModal("frmVocab", [&](rt::Form& vocab) {
            seen.push_back(sorted(lines(rt::form<frmVocab>()->lstVocab)));
            EXPECT_EQ(rt::form<frmVocab>()->lstVocab.ListIndex(), 0);
            EXPECT_FALSE(w.Visible());
            UserInput::click(static_cast<frmVocab&>(vocab).cmdToggle);
        });
        user->whileModal("frmApp", [&](rt::Form&) { UserInput::chooseMenu(w.mnuAppSwitch); });
        user->whileModal("frmVocab", [&](rt::Form& vocab) {
            seen.push_back(sorted(lines(rt::form<frmVocab>()->lstVocab)));
            vocab.Hide();
        });
        // A vocabulary made after the main window filled the list.
        writeVocab("News", {"Read:r"});
        UserInput::click(w.cmdToggle);
    });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::vector<std::string>{"Edit", "Mail"}));
    EXPECT_EQ(seen[1], (std::vector<std::string>{"Edit", "Mail", "News"}));
}

// The vocabulary window closed from its own button leaves the application
// window loaded but hidden, its lists as they were: every Configure fills
// the vocabulary box anew, never on top of what it held.
TEST_F(AppWindow, EachConfigureListsEveryVocabularyOnce) {
    writeVocab("Browsing", {"Back:%{LEFT}"});
    writeVocab("Editing", {"Copy:^c"});
    for (int cycle = 1; cycle <= 3; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        std::vector<std::string> offered;
        configure([&](frmApp& w) {
            for (int i = 0; i < w.cmbVocabulary.ListCount(); ++i)
                offered.push_back(w.cmbVocabulary.List(i));
            user->whileModal("frmVocab", [&](rt::Form& vocab) {
                UserInput::click(static_cast<frmVocab&>(vocab).cmdCloseVocab);
            });
            UserInput::click(w.cmdToggle);
        });
        EXPECT_EQ(sorted(offered), (std::vector<std::string>{"Browsing", "Editing"}));
    }
}

// ---- closing -----------------------------------------------------------------

struct CloseRow {
    const char* name;
    std::vector<std::string> records;
    bool fromMenu;
    int stopsAt; // the line left selected; -1: the window closes
    std::string shownName;
    std::string shownVocabulary;
};

class AppWindowClose : public AppWindow, public testing::WithParamInterface<CloseRow> {};

TEST_P(AppWindowClose, EveryApplicationNeedsANameAndAVocabulary) {
    const CloseRow& row = GetParam();
    writeApps(row.records);
    writeVocab("Edit", {"Copy:^c"});
    bool closed = false;
    configure([&](frmApp& w) {
        // Unsaved edits do not count: the stored values are checked.
        retype(w.txtVActivate, "Edited");
        if (row.stopsAt >= 0)
            user->answerMsgBox(rt::vbOK, "You must supply both a user-defined name and assign a "
                                         "vocabulary for each application you wish to control!");
        if (row.fromMenu)
            UserInput::chooseMenu(w.mnuExit);
        else
            UserInput::click(w.cmdCloseApp);
        closed = !w.Loaded();
        if (!closed) {
            EXPECT_EQ(w.lstVAppCmd.ListIndex(), row.stopsAt);
            EXPECT_EQ(w.txtVActivate.Text(), row.shownName);
            EXPECT_EQ(w.cmbVocabulary.Text(), row.shownVocabulary);
        }
    });
    EXPECT_EQ(closed, row.stopsAt < 0);
    if (row.stopsAt >= 0) {
        ASSERT_EQ(user->messageBoxes().size(), 1u);
        EXPECT_EQ(user->messageBoxes()[0].title, "Insufficient Control Parameters");
        EXPECT_EQ(user->messageBoxes()[0].buttons, rt::vbInformation);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AppWindow, AppWindowClose,
    testing::Values(
        CloseRow{"SecondLacksAVocabulary",
                 {"A \xA6 a*One~Edit$", "B \xA6 b*Two~$/bin/two", "C \xA6 c*Three~Edit$"},
                 false,
                 1,
                 "Two",
                 ""},
        CloseRow{"SecondLacksAName",
                 {"A \xA6 a*One~Edit$", "B \xA6 b*~Edit$", "C \xA6 c*"},
                 true,
                 1,
                 "",
                 "Edit"},
        CloseRow{"NewlyDroppedWindowHasNeither", {"A \xA6 a*"}, false, 0, "", ""},
        CloseRow{"AllComplete", {"A \xA6 a*One~Edit$", "B \xA6 b*Two~Edit$"}, false, -1, "", ""},
        CloseRow{"AllCompleteFromTheMenu", {"A \xA6 a*One~Edit$"}, true, -1, "", ""},
        CloseRow{"EmptyList", {}, false, -1, "", ""}),
    rt::test::RowName());

TEST_F(AppWindow, ClosingRewritesTheGrammarEvenWhenNothingChanged) {
    writeApps({editor + "*Notes~Edit$", term + "*Shell~Edit$"});
    writeVocab("Edit", {"Copy:^c", "Save:^s"});
    folder.write("temp.txt", kHeader + "<start>=stale\r\n");
    configure([&](frmApp& w) { UserInput::click(w.cmdCloseApp); });
    EXPECT_FALSE(rt::form<frmApp>().isLoaded() && rt::form<frmApp>()->Visible());
    EXPECT_EQ(folder.read("temp.txt"),
              kHeader + "<start>=Notes\r\n<start>=Shell\r\n<start>=Copy\r\n<start>=Save\r\n");
    // The vocabulary list it read is emptied after the rewrite.
    EXPECT_EQ(rt::form<frmVocab>()->lstVocab.ListCount(), 0);
}

TEST_F(AppWindow, TheTitleBarCloseSkipsTheCheckButStillRewritesTheGrammar) {
    writeApps({editor + "*"});
    configure([&](frmApp& w) { UserInput::closeForm(w); });
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(folder.read("temp.txt"), kHeader);
}

// ---- the window's lists and layout -------------------------------------------

TEST_F(AppWindow, BothListsScrollSidewaysToTwiceTheirWidth) {
    configure([&](frmApp& w) {
        // 4455 twips at 15 twips a pixel, twice.
        EXPECT_EQ(w.lstVAppCmd.HorizontalExtent(), 594);
        EXPECT_EQ(w.lstRunApp.HorizontalExtent(), 594);
    });
}

TEST_F(AppWindow, EveryToolbarButtonShowsAPictureOfTheImageList) {
    configure([&](frmApp& w) {
        ASSERT_EQ(w.tbrApp.imageList(), &w.imgVAppCmd);
        for (int i = 1; i <= w.tbrApp.ButtonCount(); ++i) {
            const rt::ToolbarButton& button = w.tbrApp.Buttons(i);
            EXPECT_NO_THROW(w.imgVAppCmd.ListImages(button.Image)) << button.Key;
            EXPECT_FALSE(button.Description.empty()) << button.Key;
        }
    });
}

TEST_F(AppWindow, ARightClickOnASelectedApplicationOffersTheEditMenu) {
    writeVocab("Edit", {"Copy:^c"});
    writeApps({editor + "*Notes~Edit$"});
    bool switched = false;
    configure([&](frmApp& w) {
        user->choosePopup("mnuAppSwitch");
        user->whileModal("frmVocab", [&](rt::Form& vocab) {
            switched = true;
            vocab.Hide();
        });
        // A left button release offers nothing.
        UserInput::mouseUp(w.lstVAppCmd, rt::vbLeftButton);
        UserInput::mouseUp(w.lstVAppCmd, rt::vbRightButton);
    });
    EXPECT_TRUE(switched);
}

// ---- sound meter, help and About ---------------------------------------------

TEST_F(AppWindow, TheSoundMeterItemListensWhileTheScaleWindowShows) {
    frmQuibo& main = start();
    bool shown = false;
    configure([&](frmApp& w) {
        EXPECT_FALSE(main.DirectSR1->active());
        user->whileModal("frmVolSet", [&](rt::Form& volSet) {
            shown = true;
            EXPECT_TRUE(main.DirectSR1->active());
            UserInput::click(static_cast<frmVolSet&>(volSet).cmdDone);
        });
        UserInput::chooseMenu(w.mnuMeter);
        EXPECT_TRUE(w.Visible());
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(main.DirectSR1->active());
}

TEST_F(AppWindow, HelpOpensTheProgramsHelpFileAndAboutShowsTheAboutBox) {
    auto help = std::make_shared<rt::SimHelp>();
    rt::setHelp(help);
    folder.write("quibohelp.chm", "help");
    bool about = false;
    configure([&](frmApp& w) {
        UserInput::chooseMenu(w.mnuQUIBOHelp);
        UserInput::clickButton(w.tbrApp, "Help");
        user->whileModal("frmAbout", [&](rt::Form& box) {
            about = true;
            UserInput::closeForm(box);
        });
        UserInput::chooseMenu(w.mnuAboutQuibo);
        EXPECT_TRUE(w.Visible());
    });
    rt::setHelp(nullptr);
    ASSERT_EQ(help->requests().size(), 2u);
    for (const rt::HelpRequest& request : help->requests()) {
        EXPECT_EQ(request.file, rt::App().pathOf("quibohelp.chm"));
        EXPECT_EQ(request.window, "");
        EXPECT_EQ(request.command, rt::HH_DISPLAY_TOPIC);
    }
    EXPECT_TRUE(about);
    EXPECT_TRUE(user->messageBoxes().empty());
}

// With the layout library registered the window keeps its placement and
// rescales its controls.
class AppWindowWithLayout : public AppWindow {
protected:
    AppWindowWithLayout() { rt::components::registerLibrary(TLV_FORM_CONTROLS); }

    static std::string placement(const std::string& name) {
        return ProgramFixture::placement("frmApp", name);
    }
};

TEST_F(AppWindowWithLayout, ResizingStretchesTheControlsAndClosingSavesThePlacement) {
    writeApps({editor + "*Notes~Edit$"});
    configure([&](frmApp& w) {
        ASSERT_NE(w.strApp.object(), nullptr);
        ASSERT_NE(w.flocApp.object(), nullptr);
        // Twice the design client area of 9390 x 4845 twips.
        w.Move(600, 450, 2 * 9390 + 120, 2 * 4845 + 510);
        EXPECT_EQ(w.strApp.Width(), 2 * 9390);
        EXPECT_EQ(w.strApp.Height(), 2 * 4845);
        EXPECT_FLOAT_EQ(w.lstVAppCmd.Left(), 240);
        EXPECT_FLOAT_EQ(w.lstVAppCmd.Width(), 8910);
        EXPECT_FLOAT_EQ(w.cmdCloseApp.Top(), 8160);
        EXPECT_FLOAT_EQ(w.cmdCloseApp.Height(), 1230);
        // The placement control keeps its size.
        EXPECT_EQ(w.flocApp.Width(), 600);
        EXPECT_EQ(w.flocApp.Height(), 600);
        // The scroll extent was set once, at load.
        EXPECT_EQ(w.lstVAppCmd.HorizontalExtent(), 594);
        UserInput::click(w.cmdCloseApp);
    });
    EXPECT_EQ(placement("Left"), "600");
    EXPECT_EQ(placement("Top"), "450");
    EXPECT_EQ(placement("Width"), std::to_string(2 * 9390 + 120));
    EXPECT_EQ(placement("Height"), std::to_string(2 * 4845 + 510));

    // The next window opens where this one was left.
    configure([&](frmApp& w) {
        EXPECT_EQ(w.Left(), 600);
        EXPECT_EQ(w.Width(), 2 * 9390 + 120);
        EXPECT_EQ(w.strApp.Width(), 2 * 9390);
    });
}

} // namespace

namespace {

// Unsaved documents put "*" in their titles; "~" and "$" turn up too.
TEST_F(AppWindow, AWindowWhoseKeyHoldsTheRecordsSeparatorsIsStoredWholeAndFoundAgain) {
    folder.makeVocabFolder();
    writeVocab("Edit", {"Copy:^c"});
    rt::HWND unsaved = addWindow("Editor", "*notes~1.txt ($HOME)");
    const std::string unsavedKey = key("Editor", "*notes~1.txt ($HOME)");
    refreshRunningApps();
    CApp app;
    app.VAppAdd(unsavedKey, 0, false);
    app.AddUserAppName("Notes", "Edit", "", 0);
    // The list shows the key whole.
    rt::form<frmApp>()->lstVAppCmd.Clear();
    app.FillVACListBox();
    ASSERT_EQ(rt::form<frmApp>()->lstVAppCmd.ListCount(), 1);
    EXPECT_EQ(rt::form<frmApp>()->lstVAppCmd.List(0), unsavedKey);
    rt::form<frmApp>()->lstVAppCmd.setListIndex(0);
    EXPECT_EQ(app.UserDefinedName(0), "Notes");
    EXPECT_EQ(app.VocabularyName(), "Edit");
    // Spoken, its name brings that window forward and its phrase types there.
    CApp dispatch;
    EXPECT_EQ(dispatch.AppCheck("Notes"), 1);
    EXPECT_EQ(rt::GetForegroundWindow(), unsaved);
    EXPECT_EQ(dispatch.VocabCheck("Copy"), 2);
    EXPECT_EQ(keyboard->transcript(unsaved), "<CTRLc>CTRL");
}

TEST_F(AppWindow, ANameOrVocabularyHoldingASeparatorIsRefusedAtSave) {
    writeApps({editor + "*Notes~Edit$"});
    const std::string before = folder.read("vappcmd.txt");
    configure([&](frmApp& w) {
        UserInput::selectItem(w.lstVAppCmd, 0);
        retype(w.txtVActivate, "Notes*2");
        user->answerMsgBox(rt::vbOK, "cannot hold \"*\", \"~\" or \"$\"");
        UserInput::click(w.cmdSaveVocab);
    });
    EXPECT_EQ(folder.read("vappcmd.txt"), before);
}

// ---- what cannot be written or read -----------------------------------------------

struct ControlCharacterRow {
    const char* name;
    std::string name_;
    std::string vocabulary;
};

void PrintTo(const ControlCharacterRow& row, std::ostream* out) {
    *out << row.name;
}

class AppWindowControlCharacter : public AppWindow,
                                  public testing::WithParamInterface<ControlCharacterRow> {};

TEST_P(AppWindowControlCharacter, IsRefusedAtSaveAndTheRecordStays) {
    writeApps({editor + "*Notes~Edit$"});
    const std::string before = folder.read("vappcmd.txt");
    configure([&](frmApp& w) {
        UserInput::selectItem(w.lstVAppCmd, 0);
        retype(w.txtVActivate, GetParam().name_);
        UserInput::typeText(w.cmbVocabulary, GetParam().vocabulary);
        user->answerMsgBox(rt::vbOK, "cannot hold a line break or another control character");
        UserInput::click(w.cmdSaveVocab);
    });
    EXPECT_EQ(folder.read("vappcmd.txt"), before);
}

INSTANTIATE_TEST_SUITE_P(
    AppWindow, AppWindowControlCharacter,
    testing::Values(ControlCharacterRow{"LineBreakInTheName", "Notes\r\nMore", "Edit"},
                    ControlCharacterRow{"TabInTheVocabulary", "Notes", "Ed\tit"}),
    rt::test::RowName());

TEST_F(AppWindow, AnApplicationFileThatIsAFolderIsToldAtStartAndWhenAWindowIsAdded) {
    std::filesystem::create_directory(folder.path() / "vappcmd.txt");
    addWindow("Editor", "notes.txt");
    user->answerMsgBox(rt::vbOK,
                       "\"vappcmd.txt\" cannot be read because a folder stands in its place");
    start();
    configure([&](frmApp& w) {
        user->answerMsgBox(
            rt::vbOK, "\"vappcmd.txt\" could not be written because a folder stands in its place");
        dragRunning(w, editor);
        EXPECT_TRUE(lines(w.lstVAppCmd).empty()) << "a line for a record that was not written";
    });
}

// The program folder on a small file system of its own.
class AppWindowOnASmallDisk : public AppWindow {
protected:
    AppWindowOnASmallDisk() {
        if (disk.mounted())
            folder.makeVocabFolder();
    }
    rt::test::SmallDisk disk{folder.path()};
};

// Fifteen records end 46 bytes before a page: the sixteenth would be cut
// there when the disk is full.
TEST_F(AppWindowOnASmallDisk, AWindowAddedWhenTheDiskIsFullLeavesTheFileAsItWasAndSaysSo) {
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs could be mounted here (needs root)";
    std::vector<std::string> records;
    for (int i = 0; i < 15; ++i)
        records.push_back(key("Cls" + std::to_string(i), "t") + "*Name" + std::to_string(i) +
                          "~Edit$");
    writeApps(records);
    const std::string before = folder.read("vappcmd.txt");
    folder.write("temp.txt", kHeader); // a start with none would write it
    disk.fill();
    addWindow("Editor", "notes.txt");
    configure([&](frmApp& w) {
        user->answerMsgBox(
            rt::vbOK, "could not be written because the disk is full.  It was left as it was.");
        dragRunning(w, editor);
        EXPECT_EQ(lines(w.lstVAppCmd).size(), 15u) << "a line for a record that was not written";
        EXPECT_TRUE(folder.read("vappcmd.txt") == before) << "part of the record is in the file";
        // Space again: the next add writes a whole record after the last.
        disk.makeRoom();
        dragRunning(w, editor);
        EXPECT_EQ(lines(w.lstVAppCmd).size(), 16u);
    });
    records.push_back(editor + "*");
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile(records));
    rt::form<frmApp>()->lstVAppCmd.Clear();
    CApp().FillVACListBox();
    EXPECT_EQ(rt::form<frmApp>()->lstVAppCmd.ListCount(), 16);
}

// A record that cannot be written is told as such, not as nothing to save.
TEST_F(AppWindowOnASmallDisk, SavingANameOnADiskThatMayOnlyBeReadSaysSo) {
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs could be mounted here (needs root)";
    writeApps({editor + "*Notes~Edit$"});
    folder.write("temp.txt", kHeader);
    const std::string before = folder.read("vappcmd.txt");
    ASSERT_TRUE(disk.makeReadOnly());
    configure([&](frmApp& w) {
        UserInput::selectItem(w.lstVAppCmd, 0);
        retype(w.txtVActivate, "Memo");
        user->answerMsgBox(
            rt::vbOK,
            "\"vappcmd.txt\" could not be written because it or its folder may only be read");
        UserInput::click(w.cmdSaveVocab);
        // Closing rewrites the grammar, which cannot be written either.
        user->answerMsgBox(rt::vbOK, "\"temp.txt\" could not be written");
    });
    EXPECT_EQ(folder.read("vappcmd.txt"), before);
}

} // namespace
