#include "voicecommand/frmQuibo.h"

frmQuibo::frmQuibo() : rt::Form("frmQuibo", "QUIBO! Voice Control") {
    cmdConfigure.setCaption("&Configure");
}
