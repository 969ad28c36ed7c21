// Copying phrase records between vocabularies by dragging them from the
// phrase list onto a vocabulary name: picking up, the outline, Select All,
// the restart after a key release, the target chosen by the pointer's
// height, the list walking on by the second, and what the drop writes.

#include <string>
#include <vector>

#include "runtime/forms/EventLoop.h"
#include "tests/program/VocabWindowFixture.h"

namespace {

using rt::UserInput;

class DragCopy : public VocabWindowFixture {
protected:
    // The pointer's height over the vocabulary list that picks `line`.
    static float band(int line) { return 180.0f * static_cast<float>(line) + 90; }

    // Presses the left button on phrase line `line` (-1: below the lines),
    // as a person does: the list selects the line, then MouseDown starts the
    // drag.
    static void pickUp(frmVocab& w, int line, int shift = 0, float y = 100) {
        UserInput::pressItem(w.lstDictionary, line, rt::vbLeftButton, shift, 0, y);
    }
    // Releases the button over the phrase list itself, where no drop is handled.
    static void release(frmVocab& w) { UserInput::drop(w.lstDictionary); }
    static void dropOn(frmVocab& w, const std::string& name) {
        int line = indexOf(w.lstVocab, name);
        ASSERT_GE(line, 0) << name << " is not listed";
        UserInput::dragOver(w.lstVocab, 0, band(line));
        UserInput::drop(w.lstVocab, 0, band(line));
    }
    static int words(frmVocab& w) { return w.vocab().CopyBuffer().Count(); }
    void writeNumbered(int count) {
        for (int i = 0; i < count; ++i)
            writeVocab("V" + std::to_string(100 + i), {"W" + std::to_string(i) + ":w"});
    }
};

// ---- what a drop writes ----------------------------------------------------------

struct Press {
    int line;
    int shift = 0;
};

struct DropRow {
    const char* name;
    std::vector<std::string> source;
    std::vector<std::string> target;
    // Select All after choosing line 0, then the presses (none: one below
    // the lines).
    bool selectAll;
    std::vector<Press> presses;
    std::vector<std::string> expected;
};

class DragCopyDrop : public DragCopy, public testing::WithParamInterface<DropRow> {};

TEST_P(DragCopyDrop, EachPickedUpWordTheTargetLacksIsAppended) {
    const DropRow& row = GetParam();
    writeVocab("Source", row.source);
    writeVocab("Target", row.target);
    open([&](frmVocab& w) {
        choose(w, "Source");
        std::vector<std::string> shown = lines(w.lstDictionary);
        if (row.selectAll) {
            UserInput::selectItem(w.lstDictionary, 0);
            UserInput::chooseMenu(w.mnuDicSelAll);
            if (row.presses.empty())
                pickUp(w, -1);
        }
        for (size_t i = 0; i < row.presses.size(); ++i) {
            if (i > 0)
                release(w);
            pickUp(w, row.presses[i].line, row.presses[i].shift);
        }
        dropOn(w, "Target");
        // The phrase list goes on showing the source; the buffer is emptied.
        EXPECT_EQ(lines(w.lstDictionary), shown);
        EXPECT_EQ(words(w), 0);
        EXPECT_EQ(w.vocab().SelectionNumber(), 0);
        // The vocabulary list's clicks work again.
        choose(w, "Target");
        std::vector<std::string> listed = row.expected;
        listed.push_back("");
        EXPECT_EQ(lines(w.lstDictionary), listed);
    });
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(readVocab("Target"), vocabFile(row.expected));
    EXPECT_EQ(readVocab("Source"), vocabFile(row.source));
}

INSTANTIATE_TEST_SUITE_P(
    DragCopy, DragCopyDrop,
    testing::Values(DropRow{"SameTextWritesNothing",
                            {"Copy:^c", "Paste:^v"},
                            {"Copy:^c"},
                            false,
                            {{0}},
                            {"Copy:^c"}},
                    DropRow{"OtherLetterCaseIsAppended",
                            {"Copy:^c"},
                            {"copy:^c"},
                            false,
                            {{0}},
                            {"copy:^c", "Copy:^c"}},
                    DropRow{
                        "OneWordOntoAnEmptyVocabulary", {"Copy:^c"}, {}, false, {{0}}, {"Copy:^c"}},
                    DropRow{"TwoWordsOntoAnEmptyVocabulary",
                            {"A:a", "B:b"},
                            {},
                            false,
                            {{0}, {1, rt::vbCtrlMask}},
                            {"A:a", "B:b"}},
                    DropRow{"OnlyTheWordTheTargetLacks",
                            {"A:a", "B:b"},
                            {"A:a"},
                            false,
                            {{0}, {1, rt::vbCtrlMask}},
                            {"A:a", "B:b"}},
                    // Onto an empty vocabulary each word is compared with record 1, where
                    // the first word landed, and with no later record.
                    DropRow{"LaterCopyOfTheFirstWordSkipped",
                            {"A:a", "B:b", "A:a"},
                            {},
                            false,
                            {{0}, {1, rt::vbCtrlMask}, {2, rt::vbCtrlMask}},
                            {"A:a", "B:b"}},
                    DropRow{"LaterCopyOfAnotherWordKept",
                            {"A:a", "B:b", "B:b"},
                            {},
                            false,
                            {{0}, {1, rt::vbCtrlMask}, {2, rt::vbCtrlMask}},
                            {"A:a", "B:b", "B:b"}},
                    DropRow{"SelectAllAppendsEveryLineAndTheEmptyOne",
                            {"A:a", "B:b", "C:c"},
                            {"X:x"},
                            true,
                            {},
                            {"X:x", "A:a", "B:b", "C:c", ""}},
                    // The press on a phrase after Select All picks up every
                    // line; its Click then disarms Select All.
                    DropRow{"SelectAllThenAPressOnAPhraseAppendsEveryLine",
                            {"A:a", "B:b", "C:c"},
                            {"B:b"},
                            true,
                            {{1}},
                            {"B:b", "A:a", "C:c", ""}},
                    // A click (press and release) picks up too, and a plain
                    // press on another line starts the count at 1 again: the
                    // drop copies the word picked up first.
                    DropRow{"AClickThenAPressCopiesTheWordPickedUpFirst",
                            {"A:a", "B:b"},
                            {"X:x"},
                            false,
                            {{0}, {1}},
                            {"X:x", "A:a"}},
                    DropRow{"SelectAllSkipsWhatTheTargetHolds",
                            {"A:a", "B:b", "C:c"},
                            {"B:b"},
                            true,
                            {},
                            {"B:b", "A:a", "C:c", ""}}),
    rt::test::RowName());

// ---- picking up ------------------------------------------------------------------

TEST_F(DragCopy, EachPressDragsAnOutlineOneLineHighPerWordCentredOnThePointer) {
    writeVocab("Source", {"A:a", "B:b", "C:c"});
    open([&](frmVocab& w) {
        float h = w.TextHeight("A");
        ASSERT_GT(h, 0);
        pickUp(w, 0);
        EXPECT_EQ(UserInput::dragSource(), &w.lblVocab);
        EXPECT_FLOAT_EQ(w.lblVocab.Height(), h);
        release(w);
        pickUp(w, 2, rt::vbCtrlMask, 500);
        EXPECT_EQ(UserInput::dragSource(), &w.lblVocab);
        EXPECT_FALSE(w.lblVocab.Visible());
        EXPECT_FLOAT_EQ(w.lblVocab.Left(), w.lstDictionary.Left());
        EXPECT_FLOAT_EQ(w.lblVocab.Width(), w.lstDictionary.Width());
        EXPECT_FLOAT_EQ(w.lblVocab.Height(), 2 * h);
        EXPECT_FLOAT_EQ(w.lblVocab.Top(), w.lstDictionary.Top() + 500 - h);
        EXPECT_EQ(w.vocab().SelectionNumber(), 2);
        EXPECT_EQ(words(w), 2);
        release(w);
    });
}

TEST_F(DragCopy, SelectAllMakesTheNextPressPickUpEveryLineAndRestartTheCount) {
    writeVocab("Source", {"A:a", "B:b", "C:c", "D:d"});
    open([&](frmVocab& w) {
        float h = w.TextHeight("A");
        UserInput::selectItem(w.lstDictionary, 1);
        UserInput::clickButton(w.tbrVocab, "SelDict");
        pickUp(w, -1);
        // Five lines and one press more.
        EXPECT_EQ(w.vocab().SelectionNumber(), 6);
        EXPECT_FLOAT_EQ(w.lblVocab.Height(), 6 * h);
        EXPECT_EQ(words(w), 5);
        EXPECT_EQ(selectedLines(w.lstDictionary), (std::vector<int>{0, 2, 3, 4}));
        release(w);
        // The count starts again; the buffer keeps its words.
        pickUp(w, 3);
        EXPECT_FLOAT_EQ(w.lblVocab.Height(), h);
        EXPECT_EQ(words(w), 6);
        release(w);
    });
}

// A line chosen with the keyboard is a Click without a press.
TEST_F(DragCopy, APhraseChosenWithTheKeyboardAfterSelectAllDisarmsIt) {
    writeVocab("Source", {"A:a", "B:b", "C:c"});
    open([&](frmVocab& w) {
        UserInput::chooseMenu(w.mnuDicSelAll);
        UserInput::selectItem(w.lstDictionary, 2);
        pickUp(w, 2);
        EXPECT_EQ(words(w), 1);
        EXPECT_EQ(w.vocab().SelectionNumber(), 1);
        release(w);
    });
}

// The press's own Click comes after the pick-up: the next press picks up
// one line again.
TEST_F(DragCopy, APressAfterSelectAllPicksUpEveryLineOnce) {
    writeVocab("Source", {"A:a", "B:b", "C:c"});
    open([&](frmVocab& w) {
        UserInput::chooseMenu(w.mnuDicSelAll);
        pickUp(w, 2);
        EXPECT_EQ(words(w), 4);
        EXPECT_EQ(w.vocab().SelectionNumber(), 5);
        EXPECT_TRUE(selectedLines(w.lstDictionary).empty());
        release(w);
        pickUp(w, 1);
        EXPECT_EQ(words(w), 5);
        EXPECT_EQ(w.vocab().SelectionNumber(), 1);
        release(w);
    });
}

// With no current line the pick-up cannot deselect it.
TEST_F(DragCopy, APressThatFailsAsksForAWordAndEndsTheDrag) {
    writeVocab("Source", {"A:a", "B:b"});
    open([&](frmVocab& w) {
        ASSERT_EQ(w.lstDictionary.ListIndex(), -1);
        UserInput::chooseMenu(w.mnuDicSelAll);
        user->answerMsgBox(rt::vbOK, "Please Select A Dictionary Word!");
        pickUp(w, -1);
        // What it did before the failure stays done; the box ended the drag.
        EXPECT_EQ(words(w), 3);
        EXPECT_EQ(UserInput::dragSource(), nullptr);
    });
    ASSERT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->messageBoxes()[0].title, "Dictionary Error");
    EXPECT_EQ(user->messageBoxes()[0].buttons, rt::vbInformation);
}

TEST_F(DragCopy, AKeyReleaseRestartsTheCountAndTheFirstWordsPickedUpAreCopied) {
    writeVocab("Source", {"A:a", "B:b", "C:c"});
    writeVocab("Target", {"X:x"});
    open([&](frmVocab& w) {
        choose(w, "Source");
        float h = w.TextHeight("A");
        pickUp(w, 0);
        release(w);
        UserInput::selectItem(w.lstDictionary, 1);
        UserInput::keyUp(w.lstDictionary, 40);
        pickUp(w, -1);
        // The previous count plus one, the current line deselected, nothing
        // picked up.
        EXPECT_FLOAT_EQ(w.lblVocab.Height(), 2 * h);
        EXPECT_TRUE(selectedLines(w.lstDictionary).empty());
        EXPECT_EQ(words(w), 1);
        release(w);
        pickUp(w, 2);
        EXPECT_FLOAT_EQ(w.lblVocab.Height(), h);
        EXPECT_EQ(words(w), 2);
        dropOn(w, "Target");
    });
    EXPECT_EQ(readVocab("Target"), vocabFile({"X:x", "A:a"}));
}

// The drop resets neither the count nor the started flag: the next press
// counts on while the buffer was emptied.
TEST_F(DragCopy, ADropCountingMoreWordsThanPickedUpCopiesThoseThereAndSaysSo) {
    writeVocab("Source", {"A:a", "B:b"});
    writeVocab("First", {"X:x"});
    writeVocab("Second", {"Y:y"});
    open([&](frmVocab& w) {
        choose(w, "Source");
        UserInput::selectItem(w.lstDictionary, 0);
        pickUp(w, 1, rt::vbCtrlMask);
        dropOn(w, "First");
        pickUp(w, -1);
        EXPECT_EQ(w.vocab().SelectionNumber(), 2);
        EXPECT_EQ(words(w), 1);
        user->answerMsgBox(rt::vbOK, "You Must Select A Dictionary Word!");
        dropOn(w, "Second");
        // The failed drop leaves its state: clicks on the vocabulary list
        // stay paused and the buffer keeps its word.
        EXPECT_EQ(words(w), 1);
        EXPECT_EQ(w.vocab().SelectionNumber(), 2);
        std::vector<std::string> shown = lines(w.lstDictionary);
        choose(w, "First");
        EXPECT_EQ(lines(w.lstDictionary), shown);
    });
    EXPECT_EQ(readVocab("First"), vocabFile({"X:x", "B:b"}));
    EXPECT_EQ(readVocab("Second"), vocabFile({"Y:y", "B:b"}));
    ASSERT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->messageBoxes()[0].buttons, rt::vbOKOnly);
}

TEST_F(DragCopy, ADragReleasedElsewhereCopiesNothingAndPausesVocabularyClicksUntilADrop) {
    writeVocab("Source", {"A:a"});
    writeVocab("Target", {"X:x"});
    open([&](frmVocab& w) {
        choose(w, "Source");
        pickUp(w, 0);
        UserInput::dragOver(w.lstVocab, 0, band(indexOf(w.lstVocab, "Target")));
        release(w);
        choose(w, "Target");
        EXPECT_EQ(lines(w.lstDictionary), (std::vector<std::string>{"A:a", ""}));
        EXPECT_EQ(readVocab("Target"), vocabFile({"X:x"}));
        pickUp(w, 0);
        dropOn(w, "Target");
        choose(w, "Target");
        EXPECT_EQ(lines(w.lstDictionary), (std::vector<std::string>{"X:x", "A:a", ""}));
    });
}

// ---- the target under the pointer --------------------------------------------------

struct BandRow {
    const char* name;
    float y;
    int line; // -1: the selection stays
    bool timer;
};

class DragCopyBand : public DragCopy, public testing::WithParamInterface<BandRow> {};

TEST_P(DragCopyBand, ThePointersHeightOverTheVocabularyListPicksTheTarget) {
    const BandRow& row = GetParam();
    writeNumbered(13);
    open([&](frmVocab& w) {
        UserInput::selectItem(w.lstVocab, 5);
        std::vector<std::string> shown = lines(w.lstDictionary);
        pickUp(w, 0);
        UserInput::dragOver(w.lstVocab, 0, row.y);
        EXPECT_EQ(w.lstVocab.ListIndex(), row.line < 0 ? 5 : row.line);
        EXPECT_EQ(w.tmrExtend.Enabled(), row.timer);
        // The phrase list keeps showing the source vocabulary.
        EXPECT_EQ(lines(w.lstDictionary), shown);
        release(w);
    });
}

INSTANTIATE_TEST_SUITE_P(
    DragCopy, DragCopyBand,
    testing::Values(BandRow{"Top", 0, 0, false}, BandRow{"EndOfLine0", 180, 0, false},
                    BandRow{"BetweenBands", 180.5f, -1, false}, BandRow{"Line1", 195, 1, false},
                    BandRow{"EndOfLine1", 360, 1, false}, BandRow{"StartOfLine2", 361, 2, false},
                    BandRow{"Line11", 2160, 11, false}, BandRow{"BottomEdge", 2175, -1, true},
                    BandRow{"AboveTheList", -10, -1, false}),
    rt::test::RowName());

TEST_F(DragCopy, ABandOfALineTheListLacksChangesNothing) {
    writeNumbered(3);
    open([&](frmVocab& w) {
        pickUp(w, 0);
        UserInput::dragOver(w.lstVocab, 0, band(7));
        EXPECT_EQ(w.lstVocab.ListIndex(), 0);
        release(w);
    });
}

// ---- walking the list by the second ---------------------------------------------------

struct TickRow {
    const char* name;
    int vocabularies;
    std::vector<int> lines; // selected after each tick
};

class DragCopyTick : public DragCopy, public testing::WithParamInterface<TickRow> {};

TEST_P(DragCopyTick, NearTheBottomEdgeTheSelectionWalksDownOneLineASecond) {
    const TickRow& row = GetParam();
    writeNumbered(row.vocabularies);
    std::string target;
    open([&](frmVocab& w) {
        UserInput::selectItem(w.lstVocab, 3);
        std::vector<std::string> source = lines(w.lstDictionary);
        pickUp(w, 0);
        UserInput::dragOver(w.lstVocab, 0, 2200);
        // The pointer moving within the band keeps the timer's second.
        rt::eventLoop().advance(500);
        UserInput::dragOver(w.lstVocab, 0, 2300);
        rt::eventLoop().advance(499);
        EXPECT_EQ(w.lstVocab.ListIndex(), 3);
        std::vector<int> seen;
        rt::eventLoop().advance(1);
        seen.push_back(w.lstVocab.ListIndex());
        for (size_t i = 1; i < row.lines.size(); ++i) {
            rt::eventLoop().advance(1000);
            seen.push_back(w.lstVocab.ListIndex());
        }
        EXPECT_EQ(seen, row.lines);
        EXPECT_EQ(lines(w.lstDictionary), source);
        // Only the drop stops it; it copies to the line the walk reached.
        target = w.lstVocab.Text();
        UserInput::drop(w.lstVocab, 0, 2300);
        EXPECT_FALSE(w.tmrExtend.Enabled());
        rt::eventLoop().advance(3000);
        EXPECT_EQ(w.lstVocab.Text(), target);
    });
    EXPECT_EQ(readVocab(target).size(), 2u * 128);
}

INSTANTIATE_TEST_SUITE_P(DragCopy, DragCopyTick,
                         testing::Values(
                             // Line 12 is missing: the walk starts again at 0.
                             TickRow{"TenVocabularies", 10, {0, 1, 2}},
                             TickRow{"FourteenVocabularies", 14, {12, 13, 0, 1}}),
                         rt::test::RowName());

TEST_F(DragCopy, TheFirstTickGoesToLineTwelveOnceInTheLifeOfAWindow) {
    writeNumbered(14);
    auto firstTick = [&](frmVocab& w) {
        UserInput::selectItem(w.lstVocab, 2);
        pickUp(w, 0);
        UserInput::dragOver(w.lstVocab, 0, 2200);
        rt::eventLoop().advance(1000);
        int line = w.lstVocab.ListIndex();
        UserInput::drop(w.lstVocab, 0, 2200);
        return line;
    };
    open([&](frmVocab& w) {
        EXPECT_EQ(firstTick(w), 12);
        EXPECT_EQ(firstTick(w), 3);
    });
    rt::releaseUnloadedForms();
    open([&](frmVocab& w) { EXPECT_EQ(firstTick(w), 12); });
}

} // namespace
