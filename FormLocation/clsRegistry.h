#pragma once
// The library's registry access: string values named by a hive name, a key
// path and a value name. Keeps nothing between calls; every operation opens
// and closes the key it works on. A failing registry call gives False or
// Null; any other error goes to the caller unchanged.

#include <cstdint>
#include <string>

#include "runtime/core/Variant.h"

namespace tlvFormControls {

class clsRegistry {
public:
    // Under HKEY_LOCAL_MACHINE when Location is 1, else HKEY_CURRENT_USER,
    // key "SOFTWARE\TLV\" & Key.
    rt::Variant TLVRegRead(const std::string& Key, const std::string& SubKey, int32_t& Location);
    bool TLVRegDelete(const std::string& Key, const std::string& SubKey, int32_t& Location);
    bool TLVRegWrite(const std::string& Key, const std::string& SubKey, const std::string& Value,
                     int32_t& Location);

    // `SubKey` names a value of the key `Key`. Stores `Value` as a REG_SZ
    // without a terminating NUL; True when stored.
    bool RegWriteKey(const std::string& Hive, const std::string& Key, const std::string& SubKey,
                     const std::string& Value);
    // A String, or Null when nothing could be read.
    rt::Variant RegReadKey(const std::string& Hive, const std::string& Key,
                           const std::string& SubKey);
    // With a value name, blanks that value (it stays, empty); with the empty
    // name, deletes the key. True when done.
    bool RegDeleteKey(const std::string& Hive, const std::string& Key, const std::string& SubKey);
};

} // namespace tlvFormControls
