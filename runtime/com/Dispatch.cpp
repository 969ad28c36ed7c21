#include "runtime/com/Dispatch.h"

#include <vector>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

Variant Dispatch::get(std::string_view name, std::initializer_list<Variant> args) {
    return Invoke(GetIDOfName(name), InvokeKind::PropertyGet,
                  std::span<const Variant>(args.begin(), args.size()));
}

void Dispatch::let(std::string_view name, const Variant& value) {
    Invoke(GetIDOfName(name), InvokeKind::PropertyPut, std::span<const Variant>(&value, 1));
}

void Dispatch::set(std::string_view name, const Variant& object) {
    Invoke(GetIDOfName(name), InvokeKind::PropertyPutRef, std::span<const Variant>(&object, 1));
}

Variant Dispatch::call(std::string_view name, std::initializer_list<Variant> args) {
    return Invoke(GetIDOfName(name), InvokeKind::Method,
                  std::span<const Variant>(args.begin(), args.size()));
}

MemberTable::MemberTable(std::vector<Member> members, const MemberTable* base)
    : m_members(std::move(members)), m_base(base) {}

const Member* MemberTable::find(std::string_view name) const {
    for (const Member& m : m_members)
        if (textEquals(m.name, name))
            return &m;
    return m_base ? m_base->find(name) : nullptr;
}

const Member* MemberTable::find(DispId id) const {
    for (const Member& m : m_members)
        if (m.id == id)
            return &m;
    return m_base ? m_base->find(id) : nullptr;
}

DispId TableDispatch::GetIDOfName(std::string_view name) const {
    const Member* m = table().find(name);
    if (!m)
        raiseError(kObjectDoesNotSupport);
    return m->id;
}

Variant invokeMember(const Member* member, Dispatch& self, InvokeKind kind,
                     std::span<const Variant> args) {
    if (!member)
        raiseError(kObjectDoesNotSupport);
    switch (kind) {
    case InvokeKind::Method:
    case InvokeKind::PropertyGet:
        if (!member->get)
            raiseError(kObjectDoesNotSupport);
        return member->get(self, args);
    case InvokeKind::PropertyPut:
    case InvokeKind::PropertyPutRef:
        if (!member->put || args.empty())
            raiseError(kObjectDoesNotSupport);
        member->put(self, args);
        return {};
    }
    raiseError(kObjectDoesNotSupport);
}

Variant TableDispatch::Invoke(DispId id, InvokeKind kind, std::span<const Variant> args) {
    return invokeMember(table().find(id), *this, kind, args);
}

} // namespace rt
