// Typing into an editable combo box through the real widget: each key edits
// at the caret or replaces the selection, as in a text box, and what the
// application window saves is exactly what was typed.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/FormRef.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/CApp.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"

namespace {

class ComboForm : public rt::Form {
public:
    ComboForm() : rt::Form("frmCombo", "Combo") {
        Move(600, 600, 4000, 1500);
        cboName.Move(120, 120, 3000, 315);
        cboName.AddItem("shell");
        cboName.AddItem("editor");
    }
    rt::ComboBox cboName{*this, "cboName"};
};

struct EditStep {
    const char* name;
    std::function<void(QLineEdit&)> keys;
    const char* text; // the model's text after the step
    int listIndex;
};

TEST(ComboTyping, KeysEditAtTheCaretAndReplaceTheSelection) {
    ComboForm form;
    form.Show();
    auto* combo = rt::qt::formWindow(form)->findChild<QComboBox*>("cboName");
    ASSERT_NE(combo, nullptr);
    QLineEdit* edit = combo->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    const EditStep steps[] = {
        {"typing appends at the caret", [](QLineEdit& e) { QTest::keyClicks(&e, "shex"); }, "shex",
         -1},
        {"backspace removes one before the caret",
         [](QLineEdit& e) { QTest::keyClick(&e, Qt::Key_Backspace); }, "she", -1},
        {"typing completes a line's text", [](QLineEdit& e) { QTest::keyClicks(&e, "ll"); },
         "shell", 0},
        {"delete at the start removes the first",
         [](QLineEdit& e) {
             QTest::keyClick(&e, Qt::Key_Home);
             QTest::keyClick(&e, Qt::Key_Delete);
         },
         "hell", -1},
        {"typing at the start inserts", [](QLineEdit& e) { QTest::keyClicks(&e, "s"); }, "shell",
         0},
        {"a selection is replaced",
         [](QLineEdit& e) {
             e.setSelection(1, 3);
             QTest::keyClicks(&e, "ELL");
         },
         "sELLl", -1},
        {"backspace removes a selection only",
         [](QLineEdit& e) {
             e.setSelection(1, 4);
             QTest::keyClick(&e, Qt::Key_Backspace);
         },
         "s", -1},
        {"paste inserts at the caret",
         [](QLineEdit& e) {
             QApplication::clipboard()->setText("hell");
             QTest::keyClick(&e, Qt::Key_End);
             QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
         },
         "shell", 0},
        {"select all and type replaces everything",
         [](QLineEdit& e) {
             QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(&e, "editor");
         },
         "editor", 1},
    };
    for (const EditStep& step : steps) {
        SCOPED_TRACE(step.name);
        step.keys(*edit);
        EXPECT_EQ(form.cboName.Text(), step.text);
        EXPECT_EQ(edit->text().toStdString(), step.text);
        EXPECT_EQ(form.cboName.ListIndex(), step.listIndex);
    }
    EXPECT_EQ(combo->count(), 2) << "Enter or typing added a line the model does not have";
    form.Unload();
    QApplication::processEvents();
}

// The application window: a vocabulary name typed, corrected and saved
// reaches the application file as typed, nothing more.
TEST(ComboTyping, AVocabularyNameTypedInTheApplicationWindowIsSavedAsTyped) {
    rt::test::ProgramFolder folder;
    folder.makeVocabFolder();
    std::filesystem::path registry = rt::test::uniqueTempDir("qt-combo-registry");
    rt::registry::setFolder(registry.string());
    const std::string key = "Term \xA6 shell";
    folder.write("vappcmd.txt", rt::test::recordFile({key + "*term~$/bin/sh"}, 270));
    {
        frmApp& w = rt::form<frmApp>().get();
        w.Show();
        CApp().FillVACListBox();
        QWidget* window = rt::qt::formWindow(w);
        ASSERT_NE(window, nullptr);
        auto* list = window->findChild<QListWidget*>("lstVAppCmd");
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        ASSERT_EQ(w.txtVActivate.Text(), "term");
        auto* combo = window->findChild<QComboBox*>("cmbVocabulary");
        ASSERT_NE(combo, nullptr);
        QLineEdit* edit = combo->lineEdit();
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClicks(edit, "shelk");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "l");
        EXPECT_EQ(edit->text().toStdString(), "shell");
        auto* save = window->findChild<QPushButton*>("cmdSaveVocab");
        ASSERT_NE(save, nullptr);
        QTest::mouseClick(save, Qt::LeftButton);
        EXPECT_EQ(folder.read("vappcmd.txt"),
                  rt::test::recordFile({key + "*term~shell$/bin/sh"}, 270));
        rt::form<frmApp>().unload();
    }
    rt::form<frmQuibo>().unload();
    Program::DiscardForms();
    Program::reset();
    std::error_code ec;
    std::filesystem::remove_all(registry, ec);
}

} // namespace
