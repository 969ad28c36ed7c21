#pragma once
// The Qt view on the offscreen platform, a test form with one control of
// each kind, and the widget that shows a control.

#include <QApplication>
#include <QWidget>
#include <memory>

#include <gtest/gtest.h>

#include "runtime/backends/qt/QtView.h"
#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/ProgressBar.h"
#include "runtime/forms/StatusBar.h"
#include "runtime/forms/TextBox.h"

namespace rt::test {

class SampleForm : public Form {
public:
    SampleForm() : Form("frmSample", "Sample window") {
        Move(600, 600, 6120, 5010);
        lblTitle.Move(120, 120, 2400, 300);
        cmdStart.Move(120, 480, 1200, 375);
        txtName.Move(1440, 480, 2400, 315);
        chkLoud.Move(120, 960, 2400, 315);
        cboMode.Move(120, 1380, 2400, 315);
        lstWords.Move(120, 1800, 2400, 1200);
        prgLevel.Move(2640, 1800, 2400, 240);
        sbrStatus.Move(0, 3900, 6000, 300);
        for (const char* word : {"alpha", "bravo", "charlie", "delta"})
            lstWords.AddItem(word);
        cboMode.AddItem("Dictation");
        cboMode.AddItem("Commands");
        cboMode.setListIndex(0);
        prgLevel.setValue(40);
        sbrStatus.setPanelText(1, "Ready");
        sbrStatus.setPanelText(2, "Listening");
    }

    Menu mnuFile{*this, "mnuFile", "&File"};
    Menu mnuOpen{*this, "mnuOpen", "&Open...", &mnuFile, "Ctrl+O"};
    Label lblTitle{*this, "lblTitle", "Say a command"};
    CommandButton cmdStart{*this, "cmdStart", "&Start"};
    TextBox txtName{*this, "txtName"};
    CheckBox chkLoud{*this, "chkLoud", "Speak aloud"};
    ComboBox cboMode{*this, "cboMode", vbComboDropdownList};
    ListBox lstWords{*this, "lstWords", false, vbMultiSelectExtended};
    ProgressBar prgLevel{*this, "prgLevel"};
    StatusBar sbrStatus{*this, "sbrStatus", 2};
};

class QtViewTest : public testing::Test {
protected:
    void TearDown() override {
        // Windows go with their forms; a form left shown would outlive them.
        if (form && form->Loaded())
            form->Unload();
        QApplication::processEvents();
    }
    SampleForm& showSample() {
        form = std::make_unique<SampleForm>();
        form->Show();
        return *form;
    }
    QWidget* window() const { return qt::formWindow(*form); }
    template <class W = QWidget> W* widget(const Control& control) const {
        return window()->findChild<W*>(QString::fromStdString(control.Name()));
    }

    std::unique_ptr<SampleForm> form;
};

} // namespace rt::test
