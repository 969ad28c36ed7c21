#include "voicecommand/frmVocab.h"

frmVocab::frmVocab() : rt::Form("frmVocab", "Vocabulary Configuration") {}
