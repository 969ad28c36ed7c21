#pragma once
// Late binding: every object that the deliverables call by name or dispatch
// identifier (controls, forms, components) is a Dispatch. Each class keeps one
// table of its members; lookup by name, invocation by identifier, type
// descriptions and property bags all read that table.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/Variant.h"

namespace rt {

using DispId = int32_t;

// Identifiers the runtime itself gives meaning to.
constexpr DispId DISPID_VALUE = 0;
constexpr DispId DISPID_UNKNOWN = -1;
constexpr DispId DISPID_ABOUTBOX = -552;

enum class InvokeKind : int {
    Method = 1,
    PropertyGet = 2,
    PropertyPut = 4,    // let: assign a value
    PropertyPutRef = 8, // set: assign an object reference
};

class Dispatch : public std::enable_shared_from_this<Dispatch> {
public:
    virtual ~Dispatch() = default;

    // The identifier of a member, names compared without regard to case;
    // raises 438 when there is none.
    virtual DispId GetIDOfName(std::string_view name) const = 0;
    // Calls a member. For a put, the value is the last argument. Raises 438
    // for an unknown identifier or a kind the member does not have, 13 for an
    // argument of the wrong type, 450 style misuse as 5.
    virtual Variant Invoke(DispId id, InvokeKind kind, std::span<const Variant> args) = 0;

    // Late-bound calls by name.
    Variant get(std::string_view name, std::initializer_list<Variant> args = {});
    void let(std::string_view name, const Variant& value);
    void set(std::string_view name, const Variant& object);
    Variant call(std::string_view name, std::initializer_list<Variant> args = {});
};

using DispatchPtr = std::shared_ptr<Dispatch>;

enum class MemberKind { Property, ReadOnlyProperty, Method };

// One member of a class's table. `get` serves property gets and method calls;
// `put` serves lets and sets (the value is the last argument).
struct Member {
    std::string name;
    DispId id = DISPID_UNKNOWN;
    MemberKind kind = MemberKind::Property;
    std::string helpString;
    std::function<Variant(Dispatch& self, std::span<const Variant> args)> get;
    std::function<void(Dispatch& self, std::span<const Variant> args)> put;
};

// A class's members in slot order, optionally after those of its base class.
class MemberTable {
public:
    MemberTable(std::vector<Member> members, const MemberTable* base = nullptr);

    const Member* find(std::string_view name) const; // case-insensitive
    const Member* find(DispId id) const;
    // Own members in slot order (the base's are not repeated).
    const std::vector<Member>& members() const { return m_members; }
    const MemberTable* base() const { return m_base; }

private:
    std::vector<Member> m_members;
    const MemberTable* m_base;
};

// Builders for table rows over a class T's getters, setters and methods.
template <class T, class Get>
Member readOnly(std::string name, DispId id, Get getter, std::string help = {}) {
    return Member{std::move(name), id, MemberKind::ReadOnlyProperty, std::move(help),
                  [getter](Dispatch& self, std::span<const Variant>) {
                      return Variant(std::invoke(getter, static_cast<T&>(self)));
                  },
                  nullptr};
}

// A property whose setter takes its value converted by `convert`
// (e.g. &Variant::toLong).
template <class T, class Get, class Set, class Convert>
Member property(std::string name, DispId id, Get getter, Set setter, Convert convert,
                std::string help = {}) {
    return Member{std::move(name), id, MemberKind::Property, std::move(help),
                  [getter](Dispatch& self, std::span<const Variant>) {
                      return Variant(std::invoke(getter, static_cast<T&>(self)));
                  },
                  [setter, convert](Dispatch& self, std::span<const Variant> args) {
                      std::invoke(setter, static_cast<T&>(self), std::invoke(convert, args.back()));
                  }};
}

// Calls a table's member on `self` as Invoke does; 438 for no member or a
// kind it lacks.
Variant invokeMember(const Member* member, Dispatch& self, InvokeKind kind,
                     std::span<const Variant> args);

// Base for classes described by a MemberTable: T supplies
// `static const MemberTable& memberTable()`.
class TableDispatch : public Dispatch {
public:
    DispId GetIDOfName(std::string_view name) const override;
    Variant Invoke(DispId id, InvokeKind kind, std::span<const Variant> args) override;

protected:
    virtual const MemberTable& table() const = 0;
};

} // namespace rt
