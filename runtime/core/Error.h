#pragma once
// The run-time error: what every failing call of the runtime raises, and what
// the deliverables raise as their own numbered errors.

#include <cstdint>
#include <exception>
#include <string>

namespace rt {

// The standard error numbers callers test for.
enum ErrorNumber : int32_t {
    kInvalidProcedureCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kInternalError = 51,
    kTypeMismatch = 13,
    kBadFileNameOrNumber = 52,
    kFileNotFound = 53,
    kBadFileMode = 54,
    kFileAlreadyOpen = 55,
    kDeviceIOError = 57,
    kFileAlreadyExists = 58,
    kBadRecordLength = 59,
    kDiskFull = 61,
    kInputPastEndOfFile = 62,
    kBadRecordNumber = 63,
    kBadFileName = 64,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kObjectVariableNotSet = 91,
    kInvalidUseOfNull = 94,
    kInvalidPropertyValue = 380,
    kObjectRequired = 424,
    kCannotCreateObject = 429,
    kObjectDoesNotSupport = 438,
    kKeyAlreadyAssociated = 457,
};

// The text the runtime gives a standard number; "Application-defined or
// object-defined error" for any other.
std::string standardErrorText(int32_t number);

class RuntimeError : public std::exception {
public:
    RuntimeError(int32_t number, std::string source, std::string description,
                 std::string helpFile = {}, int32_t helpContext = 0);

    int32_t number() const { return m_number; }
    const std::string& source() const { return m_source; }
    const std::string& description() const { return m_description; }
    const std::string& helpFile() const { return m_helpFile; }
    int32_t helpContext() const { return m_helpContext; }

    const char* what() const noexcept override { return m_description.c_str(); }

private:
    int32_t m_number;
    std::string m_source;
    std::string m_description;
    std::string m_helpFile;
    int32_t m_helpContext;
};

// Raises `number`. An empty description takes the standard text, an empty
// source the program's name (App.Title).
[[noreturn]] void raiseError(int32_t number, std::string source = {}, std::string description = {});

// A failure of a test's script rather than of the program: no handler of the
// program passes it over.
class NotForHandlers {
public:
    virtual ~NotForHandlers() = default;
};

// The error a failure that is not a RuntimeError stands for: out of memory
// for an allocation that failed, an internal error with the failure's text for
// any other standard exception.
RuntimeError asRuntimeError(const std::exception& e);

// The last error that a skipped step left behind (number 0 when the last
// skipped step succeeded or none has run). One user-interface thread: global.
struct ErrInfo {
    int32_t number = 0;
    std::string source;
    std::string description;
    void clear() { *this = ErrInfo{}; }
};
ErrInfo& Err();

// Runs one step of an operation whose failing steps are passed over: a
// RuntimeError is recorded in Err() and swallowed, and the caller goes on with
// its next step. Any other standard exception (a file system call that
// threw, an allocation that failed) is a failing step too. Returns whether
// the step succeeded.
template <class Step>
bool skipFailure(Step&& step) {
    try {
        step();
        return true;
    } catch (const RuntimeError& e) {
        Err() = ErrInfo{e.number(), e.source(), e.description()};
        return false;
    } catch (const NotForHandlers&) {
        throw;
    } catch (const std::exception& e) {
        RuntimeError error = asRuntimeError(e);
        Err() = ErrInfo{error.number(), error.source(), error.description()};
        return false;
    }
}

// Runs an operation that ends at its first failure: the RuntimeError is
// recorded in Err() and returned to the caller's own handling. Returns whether
// the whole operation succeeded.
template <class Body>
bool endOnFailure(Body&& body) {
    return skipFailure(std::forward<Body>(body));
}

} // namespace rt
