#include "voicecommand/frmApp.h"

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
