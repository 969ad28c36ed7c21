// The program's windows taking a person's input through the real widgets:
// a press on a phrase picks up the line pressed, and dragging it onto a
// vocabulary's name copies it; the slider steps as its design says; a list
// scrolls sideways as far as its window asked.

#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/core/App.h"
#include "runtime/forms/FormRef.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/qt/BoxWatcher.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"
#include "voicecommand/frmVolSet.h"

namespace {

class ProgramInput : public testing::Test {
protected:
    ProgramInput() {
        rt::registry::setFolder(m_registry.string());
        m_folder.makeVocabFolder();
        Program::DiscardForms();
    }
    ~ProgramInput() override {
        rt::form<frmVolSet>().unload();
        rt::form<frmVocab>().unload();
        rt::form<frmApp>().unload();
        rt::form<frmQuibo>().unload();
        Program::DiscardForms();
        Program::reset();
        QApplication::processEvents();
        std::error_code ec;
        std::filesystem::remove_all(m_registry, ec);
    }

    void writeVocab(const std::string& name, const std::vector<std::string>& records) {
        m_folder.write("vocab/" + name + ".txt", rt::test::recordFile(records, 128));
    }
    std::string readVocab(const std::string& name) const {
        return m_folder.read("vocab/" + name + ".txt");
    }
    // The vocabulary window as the switch shows it: the vocabularies listed
    // in name order, the first one chosen.
    frmVocab& showVocabularies(const std::vector<std::string>& names) {
        frmVocab& w = rt::form<frmVocab>().get();
        w.lstVocab.Clear();
        for (const std::string& name : names)
            w.lstVocab.AddItem(name);
        w.lstVocab.setListIndex(0);
        w.Show();
        return w;
    }
    template <class W> W* widget(const rt::Form& form, const rt::Control& control) {
        QWidget* window = rt::qt::formWindow(form);
        return window ? window->findChild<W*>(QString::fromStdString(control.Name())) : nullptr;
    }
    static QPoint rowCentre(QListWidget& list, int row) {
        return list.visualItemRect(list.item(row)).center();
    }
    // Over the vocabulary list, the pointer's height in twips picks the
    // line: 180 twips a line.
    static QPoint overVocabulary(int line) { return QPoint(20, (180 * line + 90) / 15); }

    rt::test::ProgramFolder m_folder;
    std::filesystem::path m_registry = rt::test::uniqueTempDir("qt-input-registry");
    rt::test::BoxWatcher m_boxes;
};

struct DragRow {
    const char* name;
    std::vector<std::string> target;
    // Phrase lines pressed in turn, each released over the phrase list
    // except the last, which is dragged onto the target's name.
    std::vector<std::pair<int, Qt::KeyboardModifiers>> presses;
    std::vector<std::string> expected;
};

class ProgramDrag : public ProgramInput, public testing::WithParamInterface<DragRow> {};

TEST_P(ProgramDrag, DraggingPressedPhrasesOntoAVocabularyCopiesThem) {
    const DragRow& row = GetParam();
    writeVocab("Source", {"A:a", "B:b", "C:c"});
    writeVocab("Target", row.target);
    frmVocab& w = showVocabularies({"Source", "Target"});
    auto* phrases = widget<QListWidget>(w, w.lstDictionary);
    auto* vocabularies = widget<QListWidget>(w, w.lstVocab);
    ASSERT_NE(phrases, nullptr);
    ASSERT_NE(vocabularies, nullptr);
    ASSERT_EQ(phrases->count(), 4);
    for (size_t i = 0; i < row.presses.size(); ++i) {
        auto [line, modifiers] = row.presses[i];
        QTest::mousePress(phrases->viewport(), Qt::LeftButton, modifiers,
                          rowCentre(*phrases, line));
        if (i + 1 < row.presses.size()) {
            QTest::mouseRelease(phrases->viewport(), Qt::LeftButton, modifiers,
                                rowCentre(*phrases, line));
            continue;
        }
        QTest::mouseMove(vocabularies->viewport(), overVocabulary(1));
        QTest::mouseMove(vocabularies->viewport(), overVocabulary(1) + QPoint(1, 0));
        QTest::mouseRelease(vocabularies->viewport(), Qt::LeftButton, {},
                            overVocabulary(1) + QPoint(1, 0));
    }
    EXPECT_TRUE(m_boxes.seen().empty()) << m_boxes.seen().front().text;
    EXPECT_EQ(readVocab("Target"), rt::test::recordFile(row.expected, 128));
    EXPECT_EQ(readVocab("Source"), rt::test::recordFile({"A:a", "B:b", "C:c"}, 128));
}

INSTANTIATE_TEST_SUITE_P(
    View, ProgramDrag,
    testing::Values(
        // Not the first line: the press itself picks the line up.
        DragRow{"OnePressedPhrase", {"X:x"}, {{1, Qt::NoModifier}}, {"X:x", "B:b"}},
        DragRow{"PressThenControlPress",
                {"A:a"},
                {{0, Qt::NoModifier}, {1, Qt::ControlModifier}},
                {"A:a", "B:b"}}),
    [](const testing::TestParamInfo<DragRow>& info) { return std::string(info.param.name); });

TEST_F(ProgramInput, APressOnAPhraseShowsItInTheEditBox) {
    writeVocab("Source", {"A:a", "B:b"});
    frmVocab& w = showVocabularies({"Source"});
    auto* phrases = widget<QListWidget>(w, w.lstDictionary);
    ASSERT_NE(phrases, nullptr);
    QTest::mouseClick(phrases->viewport(), Qt::LeftButton, {}, rowCentre(*phrases, 1));
    EXPECT_EQ(w.lstDictionary.ListIndex(), 1);
    EXPECT_TRUE(w.lstDictionary.Selected(1));
    EXPECT_EQ(w.txtCommand.Text(), "B:b");
    EXPECT_TRUE(m_boxes.seen().empty());
}

// The running program pressed is the one registered.
TEST_F(ProgramInput, DraggingARunningProgramRegistersThePressedOne) {
    frmApp& w = rt::form<frmApp>().get();
    w.lstRunApp.AddItem("Term \xA6 shell");
    w.lstRunApp.AddItem("Editor \xA6 notes.txt");
    w.Show();
    auto* running = widget<QListWidget>(w, w.lstRunApp);
    auto* configured = widget<QListWidget>(w, w.lstVAppCmd);
    ASSERT_NE(running, nullptr);
    ASSERT_NE(configured, nullptr);
    QTest::mousePress(running->viewport(), Qt::LeftButton, {}, rowCentre(*running, 1));
    QTest::mouseMove(configured->viewport(), QPoint(30, 30));
    QTest::mouseMove(configured->viewport(), QPoint(31, 30));
    QTest::mouseRelease(configured->viewport(), Qt::LeftButton, {}, QPoint(31, 30));
    EXPECT_TRUE(m_boxes.seen().empty());
    ASSERT_EQ(w.lstVAppCmd.ListCount(), 1);
    EXPECT_EQ(w.lstVAppCmd.List(0), "Editor \xA6 notes.txt");
    EXPECT_EQ(m_folder.read("vappcmd.txt"), rt::test::recordFile({"Editor \xA6 notes.txt*"}, 270));
}

// A phrase record too long for its file reaches the top of the button's
// handler: the user is told, and the window goes on.
TEST_F(ProgramInput, ASaveThatFailsIsShownInAMessageBox) {
    writeVocab("Source", {"A:a"});
    frmVocab& w = showVocabularies({"Source"});
    auto* phrases = widget<QListWidget>(w, w.lstDictionary);
    ASSERT_NE(phrases, nullptr);
    QTest::mouseClick(phrases->viewport(), Qt::LeftButton, {}, rowCentre(*phrases, 0));
    w.txtCommand.setText("long:" + std::string(130, 'x'));
    QTest::mouseClick(widget<QWidget>(w, w.cmdSaveChanges), Qt::LeftButton);
    ASSERT_EQ(m_boxes.seen().size(), 1u);
    EXPECT_EQ(m_boxes.seen()[0].title, rt::App().Title());
    EXPECT_EQ(m_boxes.seen()[0].text.rfind("Run-time error '13012':\n\n", 0), 0u)
        << m_boxes.seen()[0].text;
    EXPECT_EQ(readVocab("Source"), rt::test::recordFile({"A:a"}, 128));
    EXPECT_TRUE(w.Visible());
}

// After the box that says no vocabulary is chosen, the edit box has the
// keyboard focus with its text selected: what the user types replaces it.
TEST_F(ProgramInput, TheFocusGivenAfterAFailureBoxTakesTheTyping) {
    writeVocab("Source", {"A:a"});
    // No vocabulary listed, so none is chosen.
    frmVocab& w = rt::form<frmVocab>().get();
    w.lstVocab.Clear();
    w.Show();
    QWidget* window = rt::qt::formWindow(w);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    w.txtCommand.setText("old");
    QTest::mouseClick(widget<QWidget>(w, w.cmdSaveChanges), Qt::LeftButton);
    ASSERT_EQ(m_boxes.seen().size(), 1u);
    EXPECT_EQ(m_boxes.seen()[0].text, "You must select a Vocabulary!");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* edit = widget<QLineEdit>(w, w.txtCommand);
    ASSERT_EQ(QApplication::focusWidget(), edit);
    QTest::keyClicks(QApplication::focusWidget(), "new:n");
    EXPECT_EQ(w.txtCommand.Text(), "new:n");
    EXPECT_EQ(readVocab("Source"), rt::test::recordFile({"A:a"}, 128));
}

// The thumb moves by the design's small and large change, both 1000, and
// the keyboard leaves the meter alone until the mouse is released.
TEST_F(ProgramInput, TheMeterScaleSliderStepsByAThousand) {
    rt::form<frmQuibo>()->Show();
    frmVolSet& w = rt::form<frmVolSet>().get();
    w.Show();
    auto* slider = widget<QSlider>(w, w.Slider1);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->singleStep(), 1000);
    EXPECT_EQ(slider->pageStep(), 1000);
    EXPECT_EQ(slider->tickInterval(), 1000);
    EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
    int before = w.Slider1.Value();
    float scale = rt::form<frmQuibo>()->VUMeter.Max();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(w.Slider1.Value(), before + 1000);
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(w.Slider1.Value(), before + 2000);
    EXPECT_EQ(rt::form<frmQuibo>()->VUMeter.Max(), scale);
}

// The application window asks each list for twice its width sideways.
TEST_F(ProgramInput, ListsScrollSidewaysToTheExtentTheirWindowSet) {
    frmApp& w = rt::form<frmApp>().get();
    w.lstRunApp.AddItem("Term \xA6 shell");
    w.lstVAppCmd.AddItem("Editor \xA6 notes.txt");
    w.Show();
    for (rt::ListBox* list : {&w.lstRunApp, &w.lstVAppCmd}) {
        SCOPED_TRACE(list->Name());
        auto* view = widget<QListWidget>(w, *list);
        ASSERT_NE(view, nullptr);
        ASSERT_GT(list->HorizontalExtent(), view->width());
        QApplication::processEvents();
        QScrollBar* bar = view->horizontalScrollBar();
        EXPECT_EQ(bar->maximum(), list->HorizontalExtent() - view->viewport()->width());
    }
}

} // namespace
