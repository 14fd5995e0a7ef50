#include "Atom.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "DataBase.h"
#include "DbInternal.h"
#include "Errors.h"
#include "Parser.h"
#include "TextConstants.h"

using Basic::kNone;
using Errors::Assert;

// ============================================================================
// Prop
// ============================================================================

static_assert(sizeof(Prop) == 16, "a full-size file makes 150,000 properties");
static_assert(sizeof(atom) == 64, "a full-size file makes 25,000 atoms");

void Prop::setKind(int16_t k) {
    Assert(k == 0 || k == 1 || k == 2, "prop kind");
    kind_ = k;
}

void Prop::setStrVal(std::string_view s) {
    Assert(kind_ == 1 || kind_ == 2, "prop strVal");
    SetStr(DataBase::Arena::Keep(s));
}

atom* Prop::atomVal() const {
    // An atom deleted since answers "nothing", as its id's slot does.
    static_assert(DataBase::kAtomIdLimit < kNoAtom, "an atom value's id fits its field");
    if (atomVal_ == kNoAtom || atomVal_ >= DataBase::numAtoms) return DataBase::nothingAtom;
    return DataBase::atomTab[atomVal_];
}

void Prop::SetAtomRef(const atom* a) {
    // Ids stay below kAtomIdLimit (CreateAtom, the file's capacity).
    atomVal_ = a == nullptr || a == DataBase::nothingAtom || a->id() < 0 || a->id() >= kNoAtom
                   ? kNoAtom
                   : static_cast<uint16_t>(a->id());
}

void Prop::SetOtherStr(DbText s) {
    if (s.empty()) {
        textOff_ = 0;
        len_ = 0;
        return;
    }
    if (s.size() >= kLongText) {
        // Its length in front of it (native order), then its bytes.
        const auto n = static_cast<uint32_t>(std::min<size_t>(s.size(), UINT32_MAX));
        std::string both(sizeof n, '\0');
        std::memcpy(both.data(), &n, sizeof n);
        both.append(s.data(), n);
        s = DataBase::Arena::Keep(both).substr(sizeof n);
        len_ = kLongText;
    } else {
        s = DataBase::Arena::Keep(s);
        len_ = static_cast<uint16_t>(s.size());
    }
    textOff_ = static_cast<uint32_t>(s.data() - DataBase::textBase);
}

size_t Prop::LongLength(const char* text) {
    uint32_t n = 0;
    std::memcpy(&n, text - sizeof n, sizeof n);
    return n;
}

void Prop::setAtomVal(atom* a) {
    Assert(kind_ == 0 || kind_ == 2, "prop atomVal");
    SetAtomRef(a);
}

void Prop::Register(bool reg) {
    if (reg)
        DataBase::RegisterProp(this);
    else
        id_ = -1;
}

void Prop::InitAtom(atom* proper, atom* atomVal, bool reg) {
    Register(reg);
    kind_ = 0;
    properSlot_ = DataBase::Arena::KindSlot(proper);
    SetAtomRef(atomVal);
}

void Prop::InitStr(atom* proper, std::string_view strVal, bool reg) {
    Register(reg);
    kind_ = 1;
    properSlot_ = DataBase::Arena::KindSlot(proper);
    SetStr(DataBase::Arena::Keep(strVal));
}

void Prop::InitAtomAndStr(atom* proper, atom* atomVal, std::string_view strVal, bool reg) {
    Register(reg);
    kind_ = 2;
    properSlot_ = DataBase::Arena::KindSlot(proper);
    SetAtomRef(atomVal);
    SetStr(DataBase::Arena::Keep(strVal));
}

bool Prop::Same(const atom* proper, const atom* atomVal, std::string_view strVal) const {
    if (this->proper() != proper) return false;
    // Identity of the atom value, as the atom it names now.
    const atom* mine = this->atomVal();
    const atom* theirs = atomVal ? atomVal : DataBase::nothingAtom;
    switch (kind_) {
        case 0: return mine == theirs;
        case 1: return this->strVal() == strVal;
        default: return mine == theirs && this->strVal() == strVal;
    }
}

// ============================================================================
// PropList
// ============================================================================

Prop* PropList::at(size_t i) const {
    if (i >= size_) throw std::out_of_range("PropList::at");
    return data_[i];
}

void PropList::Reserve(size_t n) {
    if (n <= cap_) return;
    Prop** more = DataBase::Arena::PropSlots(n);
    if (size_ > 0) std::copy(data_, data_ + size_, more);
    data_ = more;
    cap_ = static_cast<uint32_t>(n);
}

void PropList::PushBack(Prop* p) {
    // Doubling: a set that gains thousands of members one by one moves its
    // list a few times only.
    if (size_ == cap_) Reserve(std::max<size_t>(8, static_cast<size_t>(cap_) * 2));
    data_[size_++] = p;
}

// ============================================================================
// atom
// ============================================================================

std::string& atom::sortKey() { return DataBase::Arena::FreeText(0, id_); }
const std::string& atom::sortKey() const { return DataBase::Arena::FreeTextOrEmpty(0, id_); }
std::string& atom::reason() { return DataBase::Arena::FreeText(1, id_); }
const std::string& atom::reason() const { return DataBase::Arena::FreeTextOrEmpty(1, id_); }

void atom::Init(DbText name, int32_t id) {
    SetName(name);
    id_ = id;
    textIdx_ = kNone;
    descrIdx_ = kNone;
    props_ = PropList();
    propAlloc_ = 0;
    kind_ = kNone;
    numVariants = kNone;
    DataBase::Arena::ClearFreeTexts(id);
    level_ = 0;
    cursor_ = 0;
    keysOff_ = 0;
    soundexLen_ = upperLen_ = 0;
    Mark = 0;
    markIndex = 0;
}

std::string atom::Text() const {
    // The index may point past the properties in memory: a hit-parade atom
    // before its on-demand load, or an atom re-read from a text file. Such an
    // index counts as none.
    if (textIdx_ >= 0 && textIdx_ < NumProp()) return std::string(props_[textIdx_]->strVal());
    return "(" + name() + ")";
}

std::string atom::Descr() const {
    if (descrIdx_ >= 0 && descrIdx_ < NumProp()) return std::string(props_[descrIdx_]->strVal());
    return "(" + Text() + ")";
}

int atom::ColorEntry() const {
    switch (kind_) {
        case 1: case 3: return 0;
        case 0: case 2: return 1;
        case 4: return 2;
        case 7: return 3;
        case 8: return 4;
        case 9: return 5;
        case 6: case 10: case 11: case 12: return 6;
        default: return -1;
    }
}

uint32_t atom::Color(std::span<const uint32_t> optColor) const {
    int e = ColorEntry();
    if (e < 0 || static_cast<size_t>(e) >= optColor.size()) return 0;
    return optColor[static_cast<size_t>(e)];
}

bool atom::IsLang(bool english) const {
    Prop* p = FirstProp(DataBase::prLang);
    if (!p) return false;
    bool englishTexts = TextConstants::textLanguage != 0;
    std::string want = english ? (englishTexts ? "English" : "Englisch")
                               : (englishTexts ? "German" : "Deutsch");
    return p->atomVal()->Text() == want;
}

bool atom::isOptionsLang() const { return IsLang(TextConstants::textLanguage != 0); }

void atom::AddProp(Prop* p) {
    if (this == DataBase::nothingAtom) {
        // The "nothing" atom stands for no atom; it never has properties.
        Assert(false, "AddProp nothing");
        return;
    }
    if (NumProp() == propAlloc_) propAlloc_ += 7;
    props_.PushBack(p);
}

void atom::SetPropAlloc(int n) {
    if (n < NumProp()) {
        Assert(false, "SetPropAlloc " + std::to_string(n));
        // Every property in use stays; the allocation never drops below them.
        propAlloc_ = NumProp();
        return;
    }
    propAlloc_ = n;
    props_.Reserve(static_cast<size_t>(n));
}

Prop* atom::GetProp(int i) const {
    if (i < 0 || i >= NumProp()) {
        Assert(false, "MaxProp");
        return nullptr;
    }
    return props_[static_cast<size_t>(i)];
}

void atom::DelAllProp() { props_.size_ = 0; }

bool atom::HasProp(const atom* kindAtom, const atom* value) const {
    for (const Prop* p : props_)
        if (OfKind(p, kindAtom) && p->atomVal() == value) return true;
    return false;
}

Prop* atom::FirstProp(const atom* kindAtom) const {
    if (!kindAtom) return nullptr;
    for (Prop* p : props_)
        if (OfKind(p, kindAtom)) return p;
    return nullptr;
}

int atom::CountProps(const atom* kindAtom) const {
    if (!kindAtom) return 0;
    int n = 0;
    for (const Prop* p : props_)
        if (OfKind(p, kindAtom)) ++n;
    return n;
}

void atom::CopyAllProp(const atom& other) {
    // A snapshot, so that copying an atom onto itself cannot run forever.
    std::vector<Prop*> theirs(other.props_.begin(), other.props_.end());
    for (Prop* p : theirs) {
        atom* k = p->proper();
        if (k && k->FirstProp(DataBase::prNotInherited)) continue;
        // A statement the variant already makes itself is not made twice
        // (a saint of both spellings would otherwise be listed twice).
        bool already = false;
        for (Prop* mine : props_)
            if (mine == p || mine->Same(p->proper(), p->atomVal(), p->strVal())) already = true;
        if (!already) AddProp(p);
    }
}

bool atom::GetFirstProp(const atom* kindAtom, Prop*& p) {
    if (!kindAtom) return false;
    cursor_ = 0;
    return GetNextProp(kindAtom, p);
}

bool atom::GetNextProp(const atom* kindAtom, Prop*& p) {
    if (cursor_ < 0) cursor_ = 0;
    while (cursor_ < NumProp()) {
        p = props_[static_cast<size_t>(cursor_)];
        ++cursor_;
        if (OfKind(p, kindAtom)) return true;
    }
    return false;
}

namespace {

int IndexOfFirst(const PropList& props, const atom* kindAtom) {
    if (!kindAtom) return -1;
    for (size_t i = 0; i < props.size(); ++i)
        if (props[i]->proper() == kindAtom) return static_cast<int>(i);
    return -1;
}

int16_t ToIdx(int i) {
    return i > std::numeric_limits<int16_t>::max() ? static_cast<int16_t>(kNone)
                                                    : static_cast<int16_t>(i);
}

}  // namespace

void atom::SetName(DbText name) {
    uint32_t off = 0;
    if (!name.empty() && !DataBase::KeptOffset(name, off)) {
        name = DataBase::Arena::Keep(name);
        DataBase::KeptOffset(name, off);
    }
    nameOff_ = name.empty() ? 0 : off;
    nameLen_ = static_cast<uint32_t>(name.size());
}

void atom::SetKeys(DbText soundex, DbText upper) {
    constexpr size_t kLongest = std::numeric_limits<uint16_t>::max();
    soundex = soundex.substr(0, kLongest);
    upper = upper.substr(0, kLongest);
    DbText keys(std::string_view(soundex.empty() ? upper.data() : soundex.data(), soundex.size() + upper.size()));
    uint32_t off = 0;
    const bool sideBySide = soundex.empty() || upper.empty() || soundex.data() + soundex.size() == upper.data();
    if (!keys.empty() && (!sideBySide || !DataBase::KeptOffset(keys, off)))
        DataBase::KeptOffset(DataBase::Arena::Keep(std::string(soundex).append(upper)), off);
    keysOff_ = keys.empty() ? 0 : off;
    soundexLen_ = static_cast<uint16_t>(soundex.size());
    upperLen_ = static_cast<uint16_t>(upper.size());
}

void atom::SetTextAndDescr() {
    using namespace DataBase;
    bool english = TextConstants::textLanguage != 0;
    int i = english ? IndexOfFirst(props_, prTextE) : -1;
    if (i < 0) i = IndexOfFirst(props_, prText);
    if (i >= 0) textIdx_ = ToIdx(i);
    i = english ? IndexOfFirst(props_, prDescrE) : -1;
    if (i < 0) i = IndexOfFirst(props_, prDescr);
    if (i >= 0) descrIdx_ = ToIdx(i);

    std::string text = Text();
    std::string soundex = Parser::MakeSoundKey(text);
    std::string upper = Parser::MakeUpperKey(text);
    if (text.find(' ') != std::string::npos) {
        std::string article;
        std::string first4 = upper.substr(0, 4);
        if (first4 == "DIE " || first4 == "DER " || first4 == "DAS " || first4 == "THE ")
            article = first4;
        else if (upper.compare(0, 3, "TO ") == 0)
            article = "TO ";
        if (!article.empty()) {
            upper.erase(0, std::min(article.size(), upper.size()));
            size_t blank = soundex.find(' ');
            if (blank != std::string::npos) soundex.erase(0, blank + 1);
        }
    }
    // A derivation run again (a merge, a language switch) keeps the texts
    // already kept when they did not change.
    if (soundex != Soundex() || upper != Uppercase()) {
        const DbText both = DataBase::Arena::Keep(soundex + upper);
        SetKeys(both.substr(0, soundex.size()), both.substr(soundex.size()));
    }
}

void atom::Complete() {
    using namespace DataBase;
    SetTextAndDescr();
    if (Prop* w = FirstProp(prWriteVarOf)) CopyAllProp(*w->atomVal());
    if (Prop* l = FirstProp(prLevel)) {
        int32_t v = Basic::CLng(Basic::Val(l->strVal()));
        v = std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(),
                                std::numeric_limits<int16_t>::max());
        level_ = static_cast<int16_t>(v);
    } else if (name().starts_with("na") || name().starts_with("gn")) {
        level_ = 7;
    } else {
        level_ = 99;
    }
}

void atom::EvalKind0() {
    using namespace DataBase;
    kind_ = 99;
    for (const Prop* p : props_) {
        if (p->proper() != prSubsetOf) continue;
        if (p->atomVal() == seMaleNames) kind_ = 2;
        else if (p->atomVal() == seFemaleNames) kind_ = 3;
    }
}

void atom::EvalKind1() {
    using namespace DataBase;
    for (const Prop* p : props_) {
        const atom* k = p->proper();
        if (k == prGenName) {
            int16_t gk = p->atomVal()->kind();
            if (gk == 2) kind_ = 0;
            else if (gk == 3) kind_ = 1;
            else Assert(false, Text() + ": male/female");
        } else if (k == prMemberOf) {
            const atom* v = p->atomVal();
            if (v == seOrigNames) kind_ = 4;
            else if (v == seOrigins) kind_ = 5;
            else if (v == seRealms) kind_ = 6;
            else if (v == seLanguages) kind_ = 8;
            else if (v == sePopularities) kind_ = 10;
            else if (v == sePopSeries) kind_ = 11;
            else if (v == seSaints) kind_ = 9;
            else if (v == seLinks) kind_ = 12;
            else if (v == seWords) kind_ = 7;
        }
    }
}

bool atom::LoadedOnDemand() const {
    const DbText n = name();
    return n.size() >= 2 && n[0] == 'p' && n[1] == 'o';
}

bool atom::GetFilePos(int32_t& pos) const {
    Prop* p = FirstProp(DataBase::prFilePos);
    if (!p) return false;
    pos = Basic::CLng(Basic::Val(p->strVal()));
    return true;
}

void atom::CreateFilePosProp() {
    using namespace DataBase;
    Assert(NumProp() == 2, "CreateFilePosProp numProp");
    if (prFilePos == nullptr || prFilePos == nothingAtom) {
        prFilePos = GetAtom("prFilePos");
        Assert(prFilePos != nothingAtom, "CreateFilePosProp prFilePosAtom");
    }
    Prop* p = NewProp();
    p->InitStr(prFilePos, "-1", true);
    AddProp(p);
}
