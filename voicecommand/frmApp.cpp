#include "voicecommand/frmApp.h"

#include "runtime/core/Error.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/desktop/User32.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/frmVocab.h"

frmApp::frmApp() : rt::Form("frmApp", "Application Command Configuration") {
    // Design client area 9390 x 4845 twips.
    Move(1200, 1200, 9390 + 120, 4845 + 510);
    lblVApp.setCaption("Voice Command Applications:");
    lblVApp.Move(120, 720, 2655, 255);
    lstVAppCmd.Move(120, 960, 4455, 2400);
    lblRunApp.setCaption("Currently Running Applications");
    lblRunApp.Move(4800, 720, 2895, 255);
    lstRunApp.Move(4800, 960, 4455, 2400);
    lblVActivate.setCaption("Voice Activation Command:");
    lblVActivate.Move(120, 3480, 2895, 255);
    txtVActivate.Move(120, 3720, 4455, 285);
    cmdSaveVocab.setCaption("&Save Command");
    cmdSaveVocab.Move(4800, 3480, 2175, 495);
    cmdToggle.setCaption("Application/&Vocabulary");
    cmdToggle.Move(7200, 3480, 2055, 495);
    lblVocabulary.setCaption("Assigned Vocabulary:");
    lblVocabulary.Move(120, 4080, 1695, 255);
    cmbVocabulary.Move(120, 4320, 2175, 315);
    lblPath.setCaption("File/Path Name:");
    lblPath.Move(2520, 4080, 1215, 255);
    txtPath.Move(2520, 4320, 4455, 315);
    cmdCloseApp.setCaption("&Close");
    cmdCloseApp.Move(7200, 4080, 2055, 615);
    lblApp.Move(3720, 720, 735, 255);
    lblApp.setVisible(false);
}

frmApp::~frmApp() = default;

void frmApp::Form_Load() {
    m_CApp = std::make_unique<CApp>();
    m_CFile = std::make_unique<CFile>();
    m_CVocab = std::make_unique<CVocab>();
    AddListBoxHSB(lstVAppCmd, 2);
    AddListBoxHSB(lstRunApp, 2);
}

void frmApp::AddListBoxHSB(rt::ListBox& lstIn, float sngMultipleWidth) {
    auto extent = static_cast<intptr_t>(
        rt::roundHalfEven(lstIn.Width() * sngMultipleWidth / rt::Screen().TwipsPerPixelX));
    rt::SendMessageA(lstIn.hWnd(), rt::LB_SETHORIZONTALEXTENT, extent, rt::Variant(int32_t{0}));
}

void frmApp::Form_Unload(int& /*cancel*/) {
    // The grammar is rewritten before the vocabulary list it reads is emptied.
    rt::skipFailure([&] { m_CFile->TempLoad(); });
    rt::skipFailure([&] { cmbVocabulary.Clear(); });
    rt::skipFailure([&] { rt::form<frmVocab>()->lstVocab.Clear(); });
    rt::skipFailure([&] { m_CApp.reset(); });
    rt::skipFailure([&] { m_CFile.reset(); });
    rt::skipFailure([&] { m_CVocab.reset(); });
}
