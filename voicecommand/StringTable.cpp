#include "voicecommand/StringTable.h"

#include "runtime/core/Error.h"

std::string LoadResString(int32_t id) {
    switch (id) {
    case 13010: return "CFile";
    case 13011: return "File Corrupt:  Please Shut Down The Application And Create A New File.";
    case 13012: return "No Valid Dictionary Selection:  You Must Select A Dictionary Word!!";
    case 13013:
        return "No \"Vocab\" Directory!  Please create the subdirectory \"Vocab\" under \"QUIBO\" "
               "main directory.";
    case 13020: return "CVocab";
    case 13021: return "No Valid Dictionary Selection:  You Must Select A Dictionary Word!!";
    default:
        rt::raiseError(326, {}, "Resource with identifier '" + std::to_string(id) + "' not found");
    }
}
