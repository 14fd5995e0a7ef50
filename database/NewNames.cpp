#include "NewNames.h"

#include <algorithm>

#include "Atom.h"
#include "DataBase.h"
#include "Parser.h"
#include "UserFile.h"

namespace NewNames {

namespace {

constexpr int kAtomsPerName = 3;

atom* OrNull(atom* a) { return a == DataBase::nothingAtom ? nullptr : a; }

// The first target of a's property of this kind; null when none.
atom* FirstTarget(const atom* a, const atom* kind) {
    if (!a) return nullptr;
    Prop* p = a->FirstProp(kind);
    return p ? OrNull(p->atomVal()) : nullptr;
}

void AddUserProp(atom* a, atom* kind, const std::string& str, atom* value) {
    Prop* p = DataBase::NewProp();
    if (value)
        p->InitAtom(kind, value, true);
    else
        p->InitStr(kind, str, true);
    a->AddProp(p);
}

void DeleteAtoms(atom* name) {
    atom* group = FirstTarget(name, DataBase::prGenName);
    atom* origin = FirstTarget(group, DataBase::prOrigin);
    if (origin) DataBase::DeleteAtom(origin);
    if (group) DataBase::DeleteAtom(group);
    DataBase::DeleteAtom(name);
}

}  // namespace

std::string Cut(const std::string& text, std::size_t max) { return text.substr(0, max); }

std::string Clean(const std::string& text) {
    std::string s = text;
    for (char& c : s) {
        if (c == '"') c = '\'';
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    }
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool HasLetter(const std::string& text) {
    for (char c : text)
        if (Parser::IsLetter(std::string(1, c))) return true;
    return false;
}

std::string Key(const std::string& text) { return DataBase::MakeAtomIdent(Cut(Clean(text), kMaxName)); }

atom* Find(const std::string& text) {
    if (!HasLetter(text)) return nullptr;
    const std::string key = Key(text);
    if (atom* name = OrNull(DataBase::GetAtom("na" + key + "User"))) return name;
    for (atom* name : All())
        if (Key(name->Text()) == key) return name;
    return nullptr;
}

bool CanCreate(const std::string& text) { return HasLetter(text) && !Find(text); }

atom* SameSpelling(const std::string& text) {
    const std::string key = Parser::MakeUpperKey(Cut(Clean(text), kMaxName));
    if (key.empty()) return nullptr;
    for (atom* a : DataBase::atomTab)
        if (a && a->isName() && std::string(a->Uppercase()) == key) return a;
    return nullptr;
}

std::vector<atom*> All() {
    std::vector<atom*> names;
    if (!OrNull(DataBase::seUserNames)) return names;
    for (Prop* p : DataBase::seUserNames->props())
        if (p->proper() == DataBase::prMember && p->kind() != 1 && p->atomVal()->isName())
            names.push_back(p->atomVal());
    return names;
}

bool HasRoom() { return DataBase::nextId + kAtomsPerName <= DataBase::kAtomIdLimit; }

namespace {

// Create with the key given (a modify keeps the internal names it had, even
// when the text now differs in case).
Result CreateAs(const Entry& entry, std::string key, atom** created) {
    using namespace DataBase;
    if (created) *created = nullptr;
    const std::string text = Cut(Clean(entry.text), kMaxName);
    // A modify makes the name again under the internal names it had: they
    // are free, whatever other name the text's key may find.
    if (key.empty() ? !CanCreate(text) : !HasLetter(text)) return Result::NotCreatable;
    if (!HasRoom()) return Result::NoRoom;
    if (key.empty()) key = MakeAtomIdent(text);
    atom* group = CreateAtom("gn" + key + "User");
    atom* origin = CreateAtom("or" + key + "User");
    atom* name = CreateAtom("na" + key + "User");

    AddUserProp(group, prText, text, nullptr);
    AddUserProp(group, prMemberOf, "", seGenNames);
    AddUserProp(group, prSubsetOf, "", entry.gender == Entry::Gender::Male ? seMaleNames : seFemaleNames);
    AddUserProp(group, prOrigin, "", origin);
    AddUserProp(group, prNameVariant, "", name);
    AddUserProp(origin, prText, text, nullptr);
    AddUserProp(origin, prMemberOf, "", seOrigins);
    if (atom* l = OrNull(entry.origLang)) {
        AddUserProp(origin, prLang, "", l);
        AddUserProp(l, prLangOf, "", origin);
    }
    const std::string german = Cut(Clean(entry.german), kMaxInfo);
    if (!german.empty()) AddUserProp(origin, prGerman, german, nullptr);
    for (const std::string& info : entry.origInfo) {
        const std::string s = Cut(Clean(info), kMaxInfo);
        if (!s.empty()) AddUserProp(origin, prOrigInfo, s, nullptr);
    }
    AddUserProp(origin, prOriginOf, "", group);
    AddUserProp(name, prText, text, nullptr);
    AddUserProp(name, prGenName, "", group);
    // A language chosen twice is stored once: the file keeps only one
    // mirror of it, and the next start would find one.
    std::vector<atom*> seen;
    for (atom* l : entry.useLangs) {
        l = OrNull(l);
        if (!l || std::find(seen.begin(), seen.end(), l) != seen.end()) continue;
        seen.push_back(l);
        AddUserProp(name, prLang, "", l);
        AddUserProp(l, prLangOf, "", name);
    }
    AddUserProp(seUserNames, prMember, "", name);

    group->Complete();
    origin->Complete();
    name->Complete();
    group->EvalKind0();
    group->EvalKind1();
    origin->EvalKind1();
    name->EvalKind1();
    CountVariants(group->id());
    CountKinds();
    userNamesChanged = true;
    if (created) *created = name;
    return Result::Done;
}

}  // namespace

Result Create(const Entry& entry, atom** created) { return CreateAs(entry, "", created); }

Result Modify(const Entry& entry) {
    atom* old = Find(entry.text);
    if (!old) return Result::NotFound;
    if (!HasRoom()) return Result::NoRoom;
    if (!HasLetter(Cut(Clean(entry.text), kMaxName))) return Result::NotCreatable;
    const std::string internal(old->name());  // "na" key "User"
    DeleteAtoms(old);
    return CreateAs(entry, internal.substr(2, internal.size() - 6), nullptr);
}

Result Delete(const std::string& text) {
    atom* name = Find(text);
    if (!name) return Result::NotFound;
    DeleteAtoms(name);
    DataBase::CountKinds();
    DataBase::userNamesChanged = true;
    return Result::Done;
}

Entry Read(atom* name) {
    using namespace DataBase;
    Entry e;
    if (!name) return e;
    atom* group = FirstTarget(name, prGenName);
    atom* origin = FirstTarget(group, prOrigin);
    e.text = name->Text();
    e.gender = FirstTarget(group, prSubsetOf) == seMaleNames ? Entry::Gender::Male : Entry::Gender::Female;
    e.origLang = FirstTarget(origin, prLang);
    if (origin) {
        std::size_t info = 0;
        for (Prop* p : origin->props()) {
            if (p->proper() == prGerman && e.german.empty()) e.german = std::string(p->strVal());
            if (p->proper() == prOrigInfo && info < e.origInfo.size()) e.origInfo[info++] = std::string(p->strVal());
        }
    }
    std::size_t lang = 0;
    for (Prop* p : name->props())
        if (p->proper() == prLang && p->kind() != 1 && lang < e.useLangs.size()) e.useLangs[lang++] = OrNull(p->atomVal());
    return e;
}

}  // namespace NewNames
