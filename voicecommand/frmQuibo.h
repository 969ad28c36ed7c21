#pragma once
// The main window: the sound meter, the last phrase, and the way into the
// configuration.

#include "runtime/forms/Form.h"
#include "runtime/forms/ProgressBar.h"
#include "runtime/forms/StatusBar.h"
#include "runtime/forms/CommandButton.h"

class frmQuibo : public rt::Form {
public:
    frmQuibo();

    rt::CommandButton cmdConfigure{*this, "cmdConfigure"};
    rt::ProgressBar VUMeter{*this, "VUMeter"};
    rt::StatusBar stbVCmd{*this, "stbVCmd"};
};
