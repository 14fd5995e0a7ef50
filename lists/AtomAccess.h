// The few things the lists read and write of an atom, in one place, so that
// the lists depend on the database's atom through this file only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"

namespace ListAtoms {

// The atom's kind; a line without atom has none (31999).
inline int Kind(const atom* a) { return a ? a->kind() : Basic::kNone; }
inline bool IsName(const atom* a) { int k = Kind(a); return k == 0 || k == 1; }
inline bool IsGroup(const atom* a) { int k = Kind(a); return k == 2 || k == 3; }
// The display text; empty for no atom.
inline std::string Text(const atom* a) { return a ? a->Text() : std::string(); }
// The display text where the database keeps it, without a copy; false when
// Text would have to make it (no atom, or no text property).
inline bool TextInPlace(const atom* a, std::string_view& text) { return a && a->TextInPlace(text); }
inline std::string Name(const atom* a) { return a ? a->name() : std::string(); }
inline int32_t GetMark(const atom* a) { return a ? a->Mark : 0; }
inline int32_t GetMarkIndex(const atom* a) { return a ? a->markIndex : 0; }
inline void SetMark(atom* a, int32_t tag, int32_t index) {
    if (!a) return;
    a->Mark = tag;
    a->markIndex = index;
}
// The "nothing" atom that stands for an unknown internal name.
inline bool IsNothing(const atom* a) { return a == DataBase::nothingAtom; }
// The atom of an internal name (without case); the "nothing" atom when unknown.
inline atom* Lookup(const std::string& name) { return DataBase::GetAtom(name); }

// The atoms that the properties of kind propKind of `from` point to, source
// by source in property order; only targets of kind kind1 or kind2 (31999,
// 31999: any kind). A property left without its atom (the "nothing" atom)
// gives nothing. With carryReasons each target takes its source's reason:
// how a table built in several steps tells by which source a row was reached.
//   PropTargets({group}, DataBase::prNameVariant, 0, 1) gives the group's names.
std::vector<atom*> PropTargets(const std::vector<atom*>& from, atom* propKind, int kind1, int kind2,
                               bool carryReasons = false);

}  // namespace ListAtoms
