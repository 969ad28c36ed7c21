#include "runtime/core/Variant.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

Variant Variant::null() { return Variant(Value(NullTag{})); }

VarType Variant::type() const {
    switch (m_value.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Integer;
    case 3: return VarType::Long;
    case 4: return VarType::Single;
    case 5: return VarType::Double;
    case 6: return VarType::String;
    case 7: return VarType::Object;
    default: return VarType::Boolean;
    }
}

bool Variant::isNumber() const {
    switch (type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Boolean: return true;
    default: return false;
    }
}

bool parseNumber(const std::string& text, double& out) {
    std::string s = Trim(text);
    if (s.empty())
        return false;
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        long long v = 0;
        for (size_t i = 2; i < s.size(); ++i) {
            int c = std::tolower(static_cast<unsigned char>(s[i]));
            int digit = std::isdigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
            if (digit >= base || v > 0xFFFFFFFFLL)
                return false;
            v = v * base + digit;
        }
        // Hex literals up to 16 bits are Integers, up to 32 bits Longs: both signed.
        if (v <= 0xFFFF && s.size() <= 6 && base == 16)
            v = static_cast<int16_t>(static_cast<uint16_t>(v));
        else if (v <= 0xFFFFFFFFLL)
            v = static_cast<int32_t>(static_cast<uint32_t>(v));
        out = static_cast<double>(v);
        return true;
    }
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t expDigits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            ++j;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        s[i] = 'e';
        i = j;
    }
    if (i != s.size())
        return false;
    out = std::strtod(s.c_str(), nullptr);
    return std::isfinite(out);
}

double roundHalfEven(double x) { return std::nearbyint(x); } // default FE_TONEAREST

std::string formatNumber(double value, int significantDigits) {
    if (value == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", significantDigits, value);
    return buf; // "%G" drops trailing zeros and writes "1E+20", "1.5E-07"
}

double Variant::toDouble() const {
    switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Null: raiseError(kInvalidUseOfNull);
    case VarType::Integer: return std::get<int16_t>(m_value);
    case VarType::Long: return std::get<int32_t>(m_value);
    case VarType::Single: return std::get<float>(m_value);
    case VarType::Double: return std::get<double>(m_value);
    case VarType::Boolean: return std::get<bool>(m_value) ? -1 : 0;
    case VarType::String: {
        double d = 0;
        if (!parseNumber(std::get<std::string>(m_value), d)) {
            std::string t = UCase(Trim(std::get<std::string>(m_value)));
            if (t == "TRUE")
                return -1;
            if (t == "FALSE")
                return 0;
            raiseError(kTypeMismatch);
        }
        return d;
    }
    case VarType::Object: raiseError(kTypeMismatch);
    }
    raiseError(kTypeMismatch);
}

int16_t Variant::toInteger() const {
    if (type() == VarType::Integer)
        return std::get<int16_t>(m_value);
    double d = roundHalfEven(toDouble());
    if (!(d >= -32768.0 && d <= 32767.0))
        raiseError(kOverflow);
    return static_cast<int16_t>(d);
}

int32_t Variant::toLong() const {
    if (type() == VarType::Long)
        return std::get<int32_t>(m_value);
    double d = roundHalfEven(toDouble());
    if (!(d >= -2147483648.0 && d <= 2147483647.0))
        raiseError(kOverflow);
    return static_cast<int32_t>(d);
}

float Variant::toSingle() const {
    double d = toDouble();
    if (std::fabs(d) > std::numeric_limits<float>::max())
        raiseError(kOverflow);
    return static_cast<float>(d);
}

bool Variant::toBool() const {
    if (type() == VarType::Boolean)
        return std::get<bool>(m_value);
    return toDouble() != 0;
}

std::string Variant::toString() const {
    switch (type()) {
    case VarType::Empty: return {};
    case VarType::Null: raiseError(kInvalidUseOfNull);
    case VarType::Integer: return std::to_string(std::get<int16_t>(m_value));
    case VarType::Long: return std::to_string(std::get<int32_t>(m_value));
    case VarType::Single: return formatNumber(std::get<float>(m_value), 7);
    case VarType::Double: return formatNumber(std::get<double>(m_value), 15);
    case VarType::Boolean: return std::get<bool>(m_value) ? "True" : "False";
    case VarType::String: return std::get<std::string>(m_value);
    case VarType::Object: raiseError(kTypeMismatch);
    }
    raiseError(kTypeMismatch);
}

std::shared_ptr<Dispatch> Variant::toObject() const {
    if (type() == VarType::Empty)
        raiseError(kObjectVariableNotSet);
    if (type() != VarType::Object)
        raiseError(kTypeMismatch);
    const auto& obj = std::get<std::shared_ptr<Dispatch>>(m_value);
    if (!obj)
        raiseError(kObjectVariableNotSet);
    return obj;
}

bool operator==(const Variant& a, const Variant& b) { return a.m_value == b.m_value; }

bool IsNumeric(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Boolean: return true;
    case VarType::String: {
        double d = 0;
        return parseNumber(v.toString(), d);
    }
    default: return false;
    }
}

} // namespace rt
