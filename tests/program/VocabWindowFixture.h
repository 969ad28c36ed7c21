#pragma once
// The vocabulary window as the application window's switch opens it: the
// vocabulary list filled from the "vocab" folder, line 0 selected, shown
// modally while a test's actions run. The list is in name order here, so a
// test knows which vocabulary is the last line; the window's own refills
// keep the folder's order.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/FileSystem.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/CVocab.h"

class VocabWindowFixture : public ProgramFixture {
protected:
    VocabWindowFixture() {
        folder.makeVocabFolder();
        // Each window's unload refers to the other's list and so loads it
        // again: what an earlier test left goes without its handlers, so
        // every window here is made on this test's desktop and registry.
        Program::DiscardForms();
    }

    // `actions` run while the window shows; a window they leave open is
    // closed from its title bar.
    void open(const std::function<void(frmVocab&)>& actions) {
        frmVocab& w = rt::form<frmVocab>().get();
        w.lstVocab.Clear();
        std::vector<std::string> names;
        for (const std::string& file : rt::listFiles(folder.vocab(), "*.txt"))
            names.push_back(file.substr(0, file.find('.')));
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            w.lstVocab.AddItem(name);
        if (w.lstVocab.ListCount() > 0)
            w.lstVocab.setListIndex(0);
        user->whileModal("frmVocab", [&](rt::Form& f) {
            actions(static_cast<frmVocab&>(f));
            if (f.Loaded() && f.Visible())
                rt::UserInput::closeForm(f);
        });
        w.Show(rt::vbModal);
        EXPECT_EQ(user->pending(), 0u) << "a scripted step was not reached";
    }

    // The user clicks the vocabulary named `name`.
    static void choose(frmVocab& w, const std::string& name) {
        int line = indexOf(w.lstVocab, name);
        ASSERT_GE(line, 0) << name << " is not listed";
        rt::UserInput::selectItem(w.lstVocab, line);
    }
    // A click with the mouse on phrase line `line`: the press picks the line
    // up for a drag, and the release over the phrase list drops it nowhere.
    static void clickLine(frmVocab& w, int line, int shift = 0) {
        rt::UserInput::pressItem(w.lstDictionary, line, rt::vbLeftButton, shift, 0, 100);
        if (rt::UserInput::dragSource())
            rt::UserInput::drop(w.lstDictionary);
    }
    static int indexOf(const rt::ListBox& list, const std::string& text) {
        for (int i = 0; i < list.ListCount(); ++i)
            if (list.List(i) == text)
                return i;
        return -1;
    }
    static std::vector<std::string> lines(const rt::ListBox& list) {
        std::vector<std::string> out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }
    static std::vector<int> selectedLines(const rt::ListBox& list) {
        std::vector<int> out;
        for (int i = 0; i < list.ListCount(); ++i)
            if (list.Selected(i))
                out.push_back(i);
        return out;
    }
    // Selects the whole text of the box and types over it.
    static void retype(rt::TextBox& box, const std::string& text) {
        rt::UserInput::focus(box);
        box.setSelStart(0);
        box.setSelLength(static_cast<int>(box.Text().size()));
        rt::UserInput::typeText(box, text);
    }

    std::string vocabFile(const std::vector<std::string>& records) const {
        return rt::test::recordFile(records, 128);
    }
    std::string readVocab(const std::string& name) const {
        return folder.read("vocab/" + name + ".txt");
    }
    bool vocabExists(const std::string& name) const {
        return std::filesystem::exists(folder.vocab() / (name + ".txt"));
    }
    std::vector<std::string> prompts() const {
        std::vector<std::string> out;
        for (const rt::MessageBoxRequest& box : user->messageBoxes())
            out.push_back(box.prompt);
        return out;
    }
};
