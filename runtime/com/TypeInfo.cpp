#include "runtime/com/TypeInfo.h"

#include <cstdio>

#include "runtime/core/Strings.h"

namespace rt {

namespace {

void appendMembers(const MemberTable& table, std::vector<MemberInfo>& out) {
    if (table.base())
        appendMembers(*table.base(), out);
    for (const Member& m : table.members())
        out.push_back({m.name, m.kind, m.id, {}, m.helpString, m.id == DISPID_VALUE});
}

std::string hexId(DispId id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(id));
    return text;
}

} // namespace

const MemberInfo* InterfaceInfo::find(std::string_view wanted) const {
    for (const MemberInfo& m : members)
        if (textEquals(m.name, wanted))
            return &m;
    return nullptr;
}

const char* memberKindName(MemberKind kind) {
    switch (kind) {
    case MemberKind::Property: return "property";
    case MemberKind::ReadOnlyProperty: return "read-only property";
    case MemberKind::Method: return "method";
    }
    return "?";
}

InterfaceInfo describeInterface(std::string name, const MemberTable& table,
                                std::span<const std::pair<std::string, std::string>> types) {
    InterfaceInfo info{std::move(name), {}};
    appendMembers(table, info.members);
    for (const auto& [member, type] : types)
        for (MemberInfo& m : info.members)
            if (textEquals(m.name, member))
                m.type = type;
    return info;
}

std::vector<std::string> compareWithDesign(const InterfaceInfo& actual,
                                           std::span<const DesignMember> design) {
    std::vector<std::string> diffs;
    const std::string where = actual.name.empty() ? "" : actual.name + ".";
    for (size_t slot = 0; slot < design.size(); ++slot) {
        const DesignMember& want = design[slot];
        const MemberInfo* got = actual.find(want.name);
        if (!got) {
            diffs.push_back(where + want.name + " is missing");
            continue;
        }
        size_t gotSlot = static_cast<size_t>(got - actual.members.data());
        if (gotSlot != slot)
            diffs.push_back(where + want.name + " is in slot " + std::to_string(gotSlot) +
                            ", designed for slot " + std::to_string(slot));
        if (got->kind != want.kind)
            diffs.push_back(where + want.name + " is a " + memberKindName(got->kind) +
                            ", designed as a " + memberKindName(want.kind));
        if (got->id != want.id)
            diffs.push_back(where + want.name + " has dispatch id " + hexId(got->id) +
                            ", designed " + hexId(want.id));
        if (got->helpString != want.helpString)
            diffs.push_back(where + want.name + " has help string \"" + got->helpString +
                            "\", designed \"" + want.helpString + "\"");
        if (!want.type.empty() && !textEquals(got->type, want.type))
            diffs.push_back(where + want.name + " has type \"" + got->type + "\", designed \"" +
                            want.type + "\"");
    }
    for (const MemberInfo& m : actual.members) {
        bool designed = false;
        for (const DesignMember& want : design)
            designed = designed || textEquals(want.name, m.name);
        if (!designed)
            diffs.push_back(where + m.name + " is not in the design");
    }
    return diffs;
}

} // namespace rt
