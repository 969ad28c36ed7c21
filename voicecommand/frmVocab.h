#pragma once
// The vocabulary configuration window: vocabularies, their phrases and the
// edit box of the selected phrase.

#include "runtime/forms/Form.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/TextBox.h"

class frmVocab : public rt::Form {
public:
    frmVocab();

    rt::ListBox lstVocab{*this, "lstVocab"};
    rt::ListBox lstDictionary{*this, "lstDictionary", false, rt::vbMultiSelectExtended};
    rt::TextBox txtCommand{*this, "txtCommand"};
};
