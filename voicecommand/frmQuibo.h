#pragma once
// The main window: hosts the recogniser, dispatches every recognised phrase,
// shows the input level on the sound meter, pauses and resumes listening,
// and opens the configuration. Closing it ends the program.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runtime/com/Dispatch.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ProgressBar.h"
#include "runtime/forms/StatusBar.h"
#include "runtime/forms/UserControl.h"
#include "runtime/speech/SpeechRecogniser.h"

class CApp;
class CFile;
class CVocab;

class frmQuibo : public rt::Form {
public:
    frmQuibo();
    ~frmQuibo() override;

    rt::CommandButton cmdConfigure{*this, "cmdConfigure", "&Configure"};
    rt::ProgressBar VUMeter{*this, "VUMeter"};
    rt::StatusBar stbVCmd{*this, "stbVCmd", 2};
    // The recogniser, called late bound by dispatch identifier.
    std::shared_ptr<rt::speech::SpeechRecogniser> DirectSR1;
    // Keeps the window's placement; without the layout library it has no
    // object and the window opens at its design position.
    rt::ControlSite flocQuibo{*this, "flocQuibo", "tlvFormControls.FormLocator",
                              rt::PropertyBag::fromText(R"(RegistryKey = "Software\frmQuibo\Position")")};

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyDown(int& keyCode, int shift);
    void VUMeter_Click();
    void cmdConfigure_Click();
    void DirectSR1_PhraseRecognized(const std::string& phrase);
    void DirectSR1_SoundLevel(const rt::Variant& level);

    CApp& app() { return *m_CApp; }
    bool paused() const { return m_paused; }

private:
    void onRecogniserEvent(rt::DispId event, std::span<const rt::Variant> args);
    void recognizer(rt::DispId operation, std::initializer_list<rt::Variant> args = {});
    void showProblem(const std::string& problem);
    void showStatus();
    void setMeterScale(const std::string& setting);

    static constexpr float kDefaultMeterScale = 3000;

    std::unique_ptr<CFile> m_CFile;
    std::unique_ptr<CApp> m_CApp;
    std::unique_ptr<CVocab> m_CVocab;
    std::vector<std::string> m_problems; // found at start-up; they last
    bool m_paused = false;
    bool m_configuredBefore = false;
};
