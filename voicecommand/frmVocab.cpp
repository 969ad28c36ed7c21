#include "voicecommand/frmVocab.h"

#include "runtime/core/Error.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/frmApp.h"

frmVocab::frmVocab() : rt::Form("frmVocab", "Vocabulary Configuration") {}

frmVocab::~frmVocab() = default;

void frmVocab::Form_Load() {
    m_CVocab = std::make_unique<CVocab>();
    m_CFile = std::make_unique<CFile>();
    m_CApp = std::make_unique<CApp>();
}

void frmVocab::Form_Unload(int& /*cancel*/) {
    rt::skipFailure([&] { m_CFile->TempLoad(); });
    rt::skipFailure([&] { rt::form<frmApp>()->lstVAppCmd.Clear(); });
    rt::skipFailure([&] { m_CFile.reset(); });
    rt::skipFailure([&] { m_CVocab.reset(); });
    rt::skipFailure([&] { m_CApp.reset(); });
}
