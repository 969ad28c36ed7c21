#pragma once
// The vocabulary configuration window: vocabularies, their phrases and the
// edit box of the selected phrase.

#include <memory>

#include "runtime/forms/Form.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/TextBox.h"

class CApp;
class CFile;
class CVocab;

class frmVocab : public rt::Form {
public:
    frmVocab();
    ~frmVocab() override;

    void Form_Load() override;
    void Form_Unload(int& cancel) override;

    rt::ListBox lstVocab{*this, "lstVocab"};
    rt::ListBox lstDictionary{*this, "lstDictionary", false, rt::vbMultiSelectExtended};
    rt::TextBox txtCommand{*this, "txtCommand"};

private:
    std::unique_ptr<CVocab> m_CVocab;
    std::unique_ptr<CFile> m_CFile;
    std::unique_ptr<CApp> m_CApp;
};
