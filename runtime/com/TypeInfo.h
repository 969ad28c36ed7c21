#pragma once
// Type descriptions: what a host or a design check sees of a class's
// interfaces. Built from the class's MemberTable so the description can never
// drift from what Invoke actually serves.

#include <span>
#include <string>
#include <vector>

#include "runtime/com/Dispatch.h"

namespace rt {

struct MemberInfo {
    std::string name;
    MemberKind kind = MemberKind::Property;
    DispId id = DISPID_UNKNOWN;
    std::string type; // "Long", "String", ...; empty when undescribed
    std::string helpString;
    bool isDefault = false; // the default member (dispatch id 0)
};

// A dispatch interface: its members in slot order, a base table's first.
struct InterfaceInfo {
    std::string name;
    std::vector<MemberInfo> members;

    const MemberInfo* find(std::string_view name) const; // case-insensitive
};

struct EventInfo {
    std::string name;
    DispId id = DISPID_UNKNOWN;
    std::vector<std::string> arguments; // "Name As Type", in order
    bool isDefault = false;             // the event a designer opens first
};

struct EventInterfaceInfo {
    std::string name;
    std::vector<EventInfo> events;
};

// A creatable class: its default interface and its default event interface.
struct ClassInfo {
    std::string name;
    InterfaceInfo defaultInterface;
    EventInterfaceInfo defaultEvents;
};

// Describes `table` (base members first). `types` pairs member names with
// type names for members whose type is to be described.
InterfaceInfo describeInterface(std::string name, const MemberTable& table,
                                std::span<const std::pair<std::string, std::string>> types = {});

// One row of a design table; an empty type is not compared.
struct DesignMember {
    std::string name;
    MemberKind kind;
    DispId id;
    std::string helpString;
    std::string type;
};

// Differences between an interface and its design table, one sentence each
// (a missing, extra or misplaced member, a wrong kind, id, type or help
// string); empty when they agree.
std::vector<std::string> compareWithDesign(const InterfaceInfo& actual,
                                           std::span<const DesignMember> design);

const char* memberKindName(MemberKind kind);

} // namespace rt
