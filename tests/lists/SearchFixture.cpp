#include "SearchFixture.h"

#include "ExampleMode.h"
#include "Options.h"
#include "TextConstants.h"

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
