#include "runtime/core/Error.h"

#include "runtime/core/App.h"

#include <new>

namespace rt {

std::string standardErrorText(int32_t number) {
    switch (number) {
    case kInvalidProcedureCall: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kOutOfMemory: return "Out of memory";
    case kSubscriptOutOfRange: return "Subscript out of range";
    case kDivisionByZero: return "Division by zero";
    case kInternalError: return "Internal error";
    case kTypeMismatch: return "Type mismatch";
    case kBadFileNameOrNumber: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kBadFileMode: return "Bad file mode";
    case kFileAlreadyOpen: return "File already open";
    case kDeviceIOError: return "Device I/O error";
    case kFileAlreadyExists: return "File already exists";
    case kBadRecordLength: return "Bad record length";
    case kDiskFull: return "Disk full";
    case kInputPastEndOfFile: return "Input past end of file";
    case kBadRecordNumber: return "Bad record number";
    case kBadFileName: return "Bad file name";
    case kPermissionDenied: return "Permission denied";
    case kPathFileAccessError: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    case kObjectVariableNotSet: return "Object variable or With block variable not set";
    case kInvalidUseOfNull: return "Invalid use of Null";
    case kInvalidPropertyValue: return "Invalid property value";
    case kObjectRequired: return "Object required";
    case kCannotCreateObject: return "Component can't create object";
    case kObjectDoesNotSupport: return "Object doesn't support this property or method";
    case kKeyAlreadyAssociated:
        return "This key is already associated with an element of this collection";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int32_t number, std::string source, std::string description,
                           std::string helpFile, int32_t helpContext)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_helpFile(std::move(helpFile)), m_helpContext(helpContext) {}

void raiseError(int32_t number, std::string source, std::string description) {
    if (description.empty())
        description = standardErrorText(number);
    if (source.empty())
        source = App().Title();
    throw RuntimeError(number, std::move(source), std::move(description));
}

RuntimeError asRuntimeError(const std::exception& e) {
    if (auto* runtime = dynamic_cast<const RuntimeError*>(&e))
        return *runtime;
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return RuntimeError(kOutOfMemory, App().Title(), standardErrorText(kOutOfMemory));
    std::string text = e.what();
    return RuntimeError(kInternalError, App().Title(),
                        text.empty() ? standardErrorText(kInternalError) : text);
}

ErrInfo& Err() {
    static ErrInfo info;
    return info;
}

} // namespace rt
