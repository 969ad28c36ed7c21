#include "voicecommand/frmVolSet.h"

frmVolSet::frmVolSet() : rt::Form("frmVolSet", "Sound Card Volume Visibility") {}

void frmVolSet::Form_Load() {}
void frmVolSet::Slider1_MouseUp(int, int, float, float) {}
void frmVolSet::cmdDone_Click() {}
