#include "voicecommand/frmQuibo.h"

#include <filesystem>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/FileSystem.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/registry/Registry.h"
#include "runtime/platform/registry/Settings.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/Program.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmVocab.h"

namespace {

constexpr rt::DispId kGrammarFromFile = 8;
constexpr rt::DispId kActivate = 5;
constexpr rt::DispId kDeactivate = 4;
constexpr rt::DispId kRestoreLocation = 0x60030002;
constexpr rt::DispId kSaveLocation = 0x60030003;
constexpr int kF1 = 112;

std::string grammarPath() {
    return CFile::grammarFile().string();
}

std::string noVocabFolderText(int32_t cause) {
    std::string why = cause == rt::kFileAlreadyExists ? "a file named \"vocab\" stands in its place"
                                                      : "the program folder may only be read";
    return "No Vocabularies:  The folder \"vocab\" could not be made because " + why +
           ".  QUIBO goes on without vocabularies: application names are still heard.";
}

} // namespace

frmQuibo::frmQuibo() : rt::Form("frmQuibo", "QUIBO! Voice Control") {
    setIcon(Program::kIcon);
    // A small tool window: the Configure button and the meter on one row,
    // the last phrase below.
    Move(9000, 600, 4440, 1470);
    cmdConfigure.Move(120, 120, 1215, 375);
    VUMeter.Move(1455, 165, 2745, 285);
    stbVCmd.Move(0, 600, ScaleWidth(), 360);
    // Past the right edge of the client area: it has nothing to show.
    flocQuibo.Move(4320, 0, 600, 600);
    DirectSR1 = std::make_shared<rt::speech::SpeechRecogniser>();
    DirectSR1->advise([this](rt::DispId event, std::span<const rt::Variant> args) {
        onRecogniserEvent(event, args);
    });
    DirectSR1->setStatusWatcher([this] { rt::skipFailure([&] { showStatus(); }); });
    KeyDown.connect([this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); });
    VUMeter.Click.connect([this] { VUMeter_Click(); });
    cmdConfigure.Click.connect([this] { cmdConfigure_Click(); });
}

frmQuibo::~frmQuibo() = default;

void frmQuibo::recognizer(rt::DispId operation, std::initializer_list<rt::Variant> args) {
    DirectSR1->Invoke(operation, rt::InvokeKind::Method,
                      std::span<const rt::Variant>(args.begin(), args.size()));
    // What the recogniser could not do (a missing grammar file, a word it
    // cannot pronounce, no microphone) shows as long as it holds.
    DirectSR1->takeProblem();
    showStatus();
}

void frmQuibo::showProblem(const std::string& problem) {
    if (!problem.empty())
        m_problems.push_back(problem);
    showStatus();
}

// Panel 2: what the recogniser is doing, then what does not work now.
void frmQuibo::showStatus() {
    using rt::speech::EngineState;
    rt::speech::EngineStatus engine = DirectSR1->engineStatus();
    std::string text;
    if (engine.state == EngineState::ModelUnavailable)
        text = "Speech model unavailable: " + engine.reason;
    else if (!DirectSR1->activateProblem().empty())
        text = "Microphone unavailable: " + DirectSR1->activateProblem();
    else if (!DirectSR1->active())
        text = m_CApp && m_CApp->PBClickState() ? "Off until the next click" : "Paused";
    else if (engine.state == EngineState::Loading)
        text = "Loading the speech model...";
    else if (engine.state == EngineState::SourceUnavailable)
        text = "Microphone unavailable: " + engine.reason;
    else
        text = "Listening";
    std::vector<std::string> problems = m_problems;
    if (!DirectSR1->grammarProblem().empty())
        problems.push_back(DirectSR1->grammarProblem());
    for (const std::string& problem : problems)
        text += " - " + problem;
    stbVCmd.setPanelText(2, text);
}

void frmQuibo::onRecogniserEvent(rt::DispId event, std::span<const rt::Variant> args) {
    if (event == rt::speech::kPhraseRecognizedEvent && args.size() >= 6)
        DirectSR1_PhraseRecognized(args[5].toString());
    else if (event == rt::speech::kSoundLevelEvent && args.size() >= 3)
        DirectSR1_SoundLevel(args[2]);
}

void frmQuibo::Form_Load() {
    m_CFile = std::make_unique<CFile>();
    m_CApp = std::make_unique<CApp>();
    m_CVocab = std::make_unique<CVocab>();
    // Without the folder the program goes on without vocabularies, as it
    // does in a read-only folder that has one.
    try {
        if (!rt::FolderExists(CFile::vocabFolder()))
            rt::CreateFolder(CFile::vocabFolder());
    } catch (const rt::RuntimeError& e) {
        rt::MsgBox(noVocabFolderText(e.number()), rt::vbExclamation, "Vocabularies");
    }
    setKeyPreview(true);
    // Window placement is the layout library's; without it the program still
    // works, at the window's design position.
    try {
        flocQuibo.Invoke(kRestoreLocation, rt::InvokeKind::Method, {});
    } catch (const rt::RuntimeError& e) {
        showProblem(e.description());
    }
    m_CApp->FillVACListBox();
    std::string unreadable = CFile::NotReadableText(CFile::applicationFile());
    if (!unreadable.empty())
        rt::MsgBox(unreadable, rt::vbExclamation, "Applications");
    // A first start with configured files listens at once.
    std::error_code missing;
    if (!std::filesystem::exists(CFile::grammarFile(), missing))
        m_CFile->TempLoad();
    recognizer(kGrammarFromFile, {rt::Variant(grammarPath())});
    recognizer(kActivate);
    setMeterScale(rt::GetSetting("RiriDozuzeze", "Startup", "VUMeter", "3000"));
    RunningApps::FillRunningApps(rt::form<frmApp>()->lstRunApp);
    // Damage to the stored settings met so far (a file moved aside, one that
    // cannot be read) is the user's to know.
    for (const std::string& problem : rt::registry::takeProblems())
        showProblem(problem);
    rt::SetWindowPos(hWnd(), rt::HWND_TOPMOST, 0, 0, 0, 0, rt::SWP_NOMOVE | rt::SWP_NOSIZE);
}

// A scale edited outside the program to something the meter refuses
// would stop the start-up: the default serves, and the user is told.
void frmQuibo::setMeterScale(const std::string& setting) {
    try {
        VUMeter.setMax(rt::Variant(setting).toSingle());
    } catch (const rt::RuntimeError&) {
        VUMeter.setMax(kDefaultMeterScale);
        showProblem("The sound meter scale \"" + setting + "\" is not usable; " +
                    std::to_string(static_cast<int>(kDefaultMeterScale)) + " is used.");
    }
}

void frmQuibo::DirectSR1_PhraseRecognized(const std::string& phrase) {
    if (m_CApp->AppCheck(phrase) != 1)
        m_CApp->VocabCheck(phrase);
    RunningApps::FillRunningApps(rt::form<frmApp>()->lstRunApp);
    stbVCmd.setPanelText(1, phrase);
}

void frmQuibo::DirectSR1_SoundLevel(const rt::Variant& level) {
    // A level the meter refuses (above its maximum) leaves it as it was.
    rt::skipFailure([&] { VUMeter.setValue(level.toSingle()); });
}

void frmQuibo::Form_KeyDown(int& keyCode, int shift) {
    if (keyCode == kF1 && (shift & rt::vbAltMask) != 0)
        VUMeter_Click();
}

void frmQuibo::VUMeter_Click() {
    rt::skipFailure([&] { recognizer(kGrammarFromFile, {rt::Variant(grammarPath())}); });
    rt::skipFailure([&] { m_paused = !m_paused; });
    if (rt::form<frmApp>().isLoaded() && rt::form<frmApp>()->Visible())
        return;
    if (m_paused) {
        rt::skipFailure([&] { recognizer(kDeactivate); });
        if (m_CApp->PBClickState()) {
            rt::skipFailure([&] { recognizer(kActivate); });
            rt::skipFailure([&] { m_CApp->setPBClickState(false); });
            rt::skipFailure([&] { m_paused = !m_paused; });
        } else {
            rt::skipFailure([&] { VUMeter.setValue(0); });
        }
    }
    if (!m_paused) {
        rt::skipFailure([&] { recognizer(kActivate); });
        rt::skipFailure([&] { m_CApp->setPBClickState(false); });
    }
    rt::skipFailure([&] { showStatus(); });
}

void frmQuibo::cmdConfigure_Click() {
    rt::skipFailure([&] { VUMeter.setValue(0); });
    rt::skipFailure([&] { recognizer(kDeactivate); });
    rt::skipFailure([&] { RunningApps::FillRunningApps(rt::form<frmApp>()->lstRunApp); });
    // The vocabulary lists are filled anew, emptied before the selection
    // below sets the box's text: a vocabulary window closed on its own
    // leaves the application window loaded with its box still full.
    rt::skipFailure([&] { rt::form<frmApp>()->cmbVocabulary.Clear(); });
    rt::skipFailure([&] { rt::form<frmVocab>()->lstVocab.Clear(); });
    rt::skipFailure([&] {
        if (m_configuredBefore)
            m_CApp->FillVACListBox();
        else
            m_configuredBefore = true;
    });
    rt::skipFailure([&] { rt::form<frmApp>()->lstVAppCmd.setListIndex(0); });
    rt::skipFailure([&] { m_CVocab->FillVocabFile(false); });
    rt::skipFailure([&] {
        if (VUMeter.Value() == 0)
            m_CApp->setPBClickState(true);
    });
    rt::skipFailure([&] { showStatus(); });
    rt::skipFailure([&] { rt::form<frmApp>()->Show(rt::vbModal); });
}

void frmQuibo::Form_Unload(int& /*cancel*/) {
    rt::skipFailure([&] { flocQuibo.Invoke(kSaveLocation, rt::InvokeKind::Method, {}); });
    rt::skipFailure([&] { m_CFile.reset(); });
    rt::skipFailure([&] { m_CVocab.reset(); });
    rt::skipFailure([&] { m_CApp.reset(); });
    rt::skipFailure([&] { RunningApps::ReleaseWindowHandles(); });
    rt::skipFailure([&] { rt::form<frmApp>().unload(); });
    rt::skipFailure([&] { rt::form<frmVocab>().unload(); });
    Program::End();
}
