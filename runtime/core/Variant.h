#pragma once
// The one value type that crosses late-bound calls, property bags, list items
// and collections. Strings hold ANSI (Windows-1252) bytes.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace rt {

class Dispatch; // runtime/com: any late-bound object

enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    String = 8,
    Object = 9,
    Boolean = 11,
};

class Variant {
public:
    Variant() = default;
    Variant(int16_t v) : m_value(v) {}
    Variant(int32_t v) : m_value(v) {}
    Variant(float v) : m_value(v) {}
    Variant(double v) : m_value(v) {}
    Variant(bool v) : m_value(v) {}
    Variant(std::string v) : m_value(std::move(v)) {}
    Variant(const char* v) : m_value(std::string(v)) {}
    Variant(std::shared_ptr<Dispatch> v) : m_value(std::move(v)) {}

    static Variant null();

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isObject() const { return type() == VarType::Object; }
    bool isString() const { return type() == VarType::String; }
    // Integer, Long, Single, Double or Boolean.
    bool isNumber() const;

    // Conversions as the runtime does them: numbers are rounded half to even,
    // out of range raises 6, text that is no number raises 13, Null raises 94.
    int16_t toInteger() const;
    int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    bool toBool() const;
    std::string toString() const;
    // Raises 13 for a non-object, 91 for an object reference that is not set.
    std::shared_ptr<Dispatch> toObject() const;

    // Same type and same value (objects by identity).
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    using Value = std::variant<std::monostate, NullTag, int16_t, int32_t, float, double,
                               std::string, std::shared_ptr<Dispatch>, bool>;
    explicit Variant(Value v) : m_value(std::move(v)) {}
    Value m_value;
};

// Whether a value converts to a number: numbers, Empty, and text that parses
// as a decimal or &H/&O number (spaces around it allowed).
bool IsNumeric(const Variant& v);

// Round half to even, as the runtime's integer conversions do.
double roundHalfEven(double x);

// Parses text as the runtime reads a number; false when it is no number.
bool parseNumber(const std::string& text, double& out);

// Number to text as the runtime prints it: up to 15 significant digits
// (7 for Single), no trailing zeros, "1E+20" style exponents.
std::string formatNumber(double value, int significantDigits = 15);

} // namespace rt
