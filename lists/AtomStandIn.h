// A minimal atom record for the lists until the database module provides the
// real one. Only AtomAccess.h includes this file; it goes away when the
// database's atom lands, and AtomAccess.h then includes that instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Basic.h"

class atom {
public:
    std::string name;
    int32_t id = 0;
    int16_t kind = Basic::kNone;
    int16_t numVariants = Basic::kNone;
    int32_t Mark = 0;
    int32_t markIndex = 0;
    std::string text;  // display text; empty: "(" & name & ")"

    std::string Text() const { return text.empty() ? "(" + name + ")" : text; }
};

namespace AtomStandIn {
// The table of atoms by internal name (compared without case), owning them.
atom* Nothing();
atom* GetAtom(const std::string& name);
atom* Create(const std::string& name, int kind, const std::string& text);
void Clear();
}  // namespace AtomStandIn
