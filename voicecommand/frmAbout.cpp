#include "voicecommand/frmAbout.h"

frmAbout::frmAbout() : rt::Form("frmAbout", "About") {}

void frmAbout::Form_Load() {}
void frmAbout::cmdOK_Click() {}
void frmAbout::cmdSysInfo_Click() {}
void frmAbout::cmdUlvarWebSvr_Click() {}
void frmAbout::StartSysInfo() {}
