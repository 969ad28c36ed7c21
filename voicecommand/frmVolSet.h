#pragma once
// Sets how loud the input must be for the sound meter to fill: the meter's
// maximum, kept in the program's settings.

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Slider.h"

class frmVolSet : public rt::Form {
public:
    frmVolSet();

    rt::Slider Slider1{*this, "Slider1", 2000, 20000};
    rt::CommandButton cmdDone{*this, "cmdDone", "&Done"};

    void Form_Load() override;
    void Slider1_MouseUp(int button, int shift, float x, float y);
    void cmdDone_Click();
};
