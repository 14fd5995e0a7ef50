#include "SearchFixture.h"

#include "DataBase.h"
#include "ExampleMode.h"
#include "Options.h"
#include "TextConstants.h"

TestDb::TestDb() { DataBase::InitDataBase(); }

atom* TestDb::K(const std::string& name) { return DataBase::CreateAtom(name); }

atom* TestDb::Add(const std::string& name, const std::string& text) {
    atom* a = DataBase::CreateAtom(name);
    if (!text.empty()) StrProp(a, "prText", text);
    return a;
}

void TestDb::AtomProp(atom* a, const std::string& kind, atom* value, const std::string& s) {
    a->AddProp(DataBase::FindOrCreateProp(K(kind), value, s, true));
}

void TestDb::StrProp(atom* a, const std::string& kind, const std::string& value) {
    a->AddProp(DataBase::FindOrCreateProp(K(kind), nullptr, value, true));
}

atom* TestDb::Group(const std::string& name, const std::string& text, bool male) {
    atom* g = Add(name, text);
    AtomProp(g, "prSubsetOf", K(male ? "seMaleNames" : "seFemaleNames"));
    return g;
}

atom* TestDb::Name(const std::string& name, const std::string& text, atom* group) {
    atom* a = Add(name, text);
    AtomProp(a, "prGenName", group);
    return a;
}

atom* TestDb::Member(const std::string& name, const std::string& text, const std::string& set) {
    atom* a = Add(name, text);
    AtomProp(a, "prMemberOf", K(set));
    return a;
}

void TestDb::Finish() { DataBase::DeriveAll(); }

void SearchTest::SetUp() {
    TextConstants::textLanguage = 1;
    Examples::exampleMode = false;
    Options::UserNamesInfo = false;
    Searches::InitSearches();
    Searches::Env env;
    env.windows = &windows;
    Searches::SetEnv(env);
}

void SearchTest::TearDown() {
    Searches::SetEnv({});
    Examples::exampleMode = false;
}

std::shared_ptr<ResultSet> SearchTest::List(std::initializer_list<std::pair<atom*, std::string>> lines) {
    auto rs = std::make_shared<ResultSet>();
    rs->InitInt();
    for (const auto& [a, reason] : lines) rs->AddResult(a ? a->Text() : "(none)", reason, a);
    return rs;
}

std::vector<atom*> SearchTest::Atoms(const ResultSet& rs) {
    std::vector<atom*> v;
    for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.atom(i));
    return v;
}

std::vector<std::string> SearchTest::Reasons(const ResultSet& rs) {
    std::vector<std::string> v;
    for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.reason(i));
    return v;
}
