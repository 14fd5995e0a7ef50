// The database compiler on small sources: what it derives and writes, and
// every rule by which it refuses a source, naming file and line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "DataBase.h"
#include "Fakes.h"
#include "MakeDb.h"

using namespace DataBase;

namespace {

// Records of the atoms the program looks up by name, and of the few more the
// sources below use, each with the kind of its prefix.
std::string Vocabulary() {
    std::string s = "/* The vocabulary\n   of the tests */\n\n";
    std::vector<std::string> names = KindAtomNames();
    for (const char* n : {"prShortFormOf", "prShortForm"}) names.push_back(n);
    for (const std::string& n : names) {
        std::string p = n.substr(0, 2) == "la"   ? "prop(prMemberOf," + n + ",seLanguages)."
                        : n.substr(0, 2) == "ps" ? "prop(prMemberOf," + n + ",sePopSeries)."
                                                 : "prop(prText," + n + ",\"" + n + "\").";
        s += "/* -- " + n + " -- */\n" + p + "\n\n";
    }
    return s;
}

int VocabularyAtoms() {
    std::string v = Vocabulary();
    int n = 0;
    for (std::size_t at = v.find("/* -- "); at != std::string::npos; at = v.find("/* -- ", at + 1)) ++n;
    return n;
}

const char* const kNames =
    "/* -- laGermanic -- */\n"
    "prop(prText,laGermanic,\"Germanisch\").\n"
    "prop(prTextE,laGermanic,\"Germanic\").\n"
    "prop(prMemberOf,laGermanic,seLanguages).\n"
    "\n"
    "/* -- laSwiss -- */\n"
    "prop(prTextE,laSwiss,\"Swiss German\").\n"
    "prop(prMemberOf,laSwiss,seLanguages).\n"
    "prop(prSubsetOf,laSwiss,laGermanic).\n"
    "\n"
    "/* -- gnAnna -- */\n"
    "prop(prText,gnAnna,\"Anna\").\n"
    "prop(prSubsetOf,gnAnna,seFemaleNames).\n"
    "\n"
    "/* -- naAnnika -- */\r\n"
    "prop(prText,naAnnika,\"Annika\").   /* a note */\r\n"
    "prop(prGenName,naAnnika,gnAnna).\r\n"
    "prop(prLang,naAnnika,laSwiss).\r\n"
    "\r\n"
    "/* -- naAnnikaVar -- */\r"
    "prop(prText,naAnnikaVar,\"Der Annicka\").\r"
    "prop(prWriteVarOf,naAnnikaVar,naAnnika).\r"
    "\r"
    "/* -- poAnna2020 -- */\n"
    "prop(prText,poAnna2020,\"Top names 2020\").\n"
    "prop(prMemberOf,poAnna2020,sePopularities).\n"
    "prop(prFromYear,poAnna2020,\"2020\").\n"
    "prop(prPop,poAnna2020,naAnnika,\"1\").\n";

class MakeDbRules : public testing::Test {
protected:
    bool Compile(const std::string& source) {
        MakeDb::Compiler c;
        bool ok = c.AddText("vocabulary.txt", Vocabulary()) && c.AddText("names.txt", source) && c.Build();
        failure_ = c.failure().Text();
        return ok;
    }
    std::string failure_;
};

}  // namespace

TEST_F(MakeDbRules, DerivesWithTheProgramsCodeAndWritesBothDirections) {
    ASSERT_TRUE(Compile(kNames)) << failure_;
    atom* annika = GetAtom("naAnnika");
    atom* anna = GetAtom("gnAnna");
    atom* var = GetAtom("naAnnikaVar");
    EXPECT_EQ(anna->kind(), 3);
    EXPECT_EQ(annika->kind(), 1);
    EXPECT_EQ(annika->Level(), 7);
    EXPECT_EQ(GetAtom("laGermanic")->kind(), 8);
    EXPECT_EQ(GetAtom("laGermanic")->Level(), 99);
    // English texts: the program runs with them in both editions.
    EXPECT_EQ(GetAtom("laGermanic")->Text(), "Germanic");
    // The mirrors the program never adds itself.
    EXPECT_TRUE(anna->HasProp(prNameVariant, annika));
    EXPECT_EQ(anna->numVariants, 1);
    EXPECT_TRUE(GetAtom("seLanguages")->HasProp(prMember, GetAtom("laSwiss")));
    EXPECT_TRUE(GetAtom("laGermanic")->HasProp(prSubset, GetAtom("laSwiss")));
    EXPECT_TRUE(GetAtom("laSwiss")->HasProp(prLangOf, annika));
    EXPECT_TRUE(annika->HasProp(prWriteVar, var));
    EXPECT_TRUE(GetAtom("seFemaleNames")->HasProp(prSubset, anna));
    // The spelling variant inherits after its own properties; the article
    // goes from its keys.
    EXPECT_EQ(var->kind(), 1);
    EXPECT_EQ(var->Uppercase(), "ANNICKA");
    EXPECT_EQ(var->Soundex(), "ANIKA");
    // Hit-parade data: its file position third, the rest behind it.
    atom* po = GetAtom("poAnna2020");
    ASSERT_EQ(po->NumProp(), 5);
    EXPECT_EQ(po->GetProp(2)->proper(), prFilePos);
    EXPECT_EQ(po->GetProp(4)->kind(), 2);
    EXPECT_EQ(po->kind(), 10);
    // The name's list of its hit parades, "id/rank".
    const Prop* pop = annika->FirstProp(prPop);
    ASSERT_NE(pop, nullptr);
    EXPECT_EQ(pop->strVal(), std::to_string(po->id()) + "/1");
    EXPECT_EQ(numAllFemale, 2);
    EXPECT_EQ(numAllFemaleGen, 1);
}

TEST_F(MakeDbRules, WrittenFileReadsBackEqualAndChecks) {
    ASSERT_TRUE(Compile(kNames)) << failure_;
    std::string path = testing::TempDir() + "makedb_rules_" + std::to_string(::getpid()) + ".bin";
    MakeDb::Failure f;
    ASSERT_TRUE(MakeDb::WriteAndVerify(path, MakeDb::EditionHeader(true), f)) << f.Text();
    std::string text;
    ASSERT_TRUE(MakeDb::CheckFile(path, text));
    EXPECT_NE(text.find("kind 1 female names: 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("kind 10 hit parades: 1\n"), std::string::npos) << text;

    // A damaged file: the reader's error, and status 1.
    std::filesystem::resize_file(path, 40);
    std::ostringstream out, err;
    EXPECT_EQ(MakeDb::Main({"--check", path}, out, err), 1);
    EXPECT_NE(err.str().find("damaged"), std::string::npos) << err.str();
    std::filesystem::remove(path);
    EXPECT_EQ(MakeDb::Main({"--check", path}, out, err), 1);
    EXPECT_EQ(MakeDb::Main({"--bogus"}, out, err), 2);
}

TEST_F(MakeDbRules, RefusesABrokenSourceNamingFileAndLine) {
    struct Case {
        const char* what;
        std::string source;
        const char* expected;  // the start of the failure text
    };
    const std::string longText(1001, 'a');
    const Case cases[] = {
        {"duplicate without case", "/* -- naAb -- */\n\n/* -- naAB -- */\n",
         "names.txt:3: duplicate internal name naAB (first at names.txt:1)"},
        {"duplicate of another file", "/* -- prTEXT -- */\n", "names.txt:1: duplicate internal name prTEXT"},
        {"name of the user's", "/* -- naAnnaUser -- */\n", "names.txt:1: internal name naAnnaUser ends in User"},
        {"unknown prefix", "/* -- xxA -- */\n", "names.txt:1: internal name xxA is not a two-letter prefix"},
        {"no capital after the prefix", "/* -- naanna -- */\n", "names.txt:1: internal name naanna is not"},
        {"record without properties", "/* -- naA -- */\n\n", "names.txt:1: record of naA without properties"},
        {"kind that is no property kind", "/* -- naA -- */\nprop(seLanguages,naA,\"x\").\n",
         "names.txt:2: property kind seLanguages is no \"pr\" atom"},
        {"blank at a string's end", "/* -- naA -- */\nprop(prText,naA,\"A \").\n", "names.txt:2: string beginning or ending"},
        {"prPop outside a hit parade", "/* -- naA -- */\nprop(prPop,naA,naA,\"1\").\n", "names.txt:2: prPop belongs"},
        {"prPop without a rank",
         "/* -- poA -- */\nprop(prText,poA,\"A\").\nprop(prMemberOf,poA,sePopularities).\nprop(prPop,poA,laGerman,\"1c\").\n",
         "names.txt:4: prPop belongs"},
        {"variant of a variant",
         "/* -- naA -- */\nprop(prWriteVarOf,naA,naB).\n\n/* -- naB -- */\nprop(prWriteVarOf,naB,naC).\n\n"
         "/* -- naC -- */\nprop(prText,naC,\"C\").\n",
         "names.txt:2: naB is itself a spelling variant (of naC)"},
        {"kind other than the prefix's", "/* -- toA -- */\nprop(prText,toA,\"A\").\n",
         "names.txt:1: toA gets kind 99, not the kind of its prefix to"},
        {"group of both genders",
         "/* -- gnA -- */\nprop(prSubsetOf,gnA,seMaleNames).\nprop(prSubsetOf,gnA,seFemaleNames).\n",
         "names.txt:1: group gnA is not in exactly one"},
        {"accented name", "\n/* -- naZoë -- */\n", "names.txt:2: internal name \"naZoë\" is not made of"},
        {"hyphen in a value", "/* -- naA -- */\nprop(prGenName,naA,gn-A).\n", "names.txt:2: malformed property line"},
        {"the nothing atom", "/* -- Nothing -- */\n", "names.txt:1: internal name nothing is reserved"},
        {"nothing as value", "/* -- naA -- */\nprop(prGenName,naA,nothing).\n", "names.txt:2: internal name nothing"},
        {"string too long", "/* -- naA -- */\nprop(prText,naA,\"" + longText + "\").\n",
         "names.txt:2: string longer than 1000 bytes"},
        {"no cp1252 character", "/* -- naA -- */\nprop(prText,naA,\"Ā\").\n", "names.txt:2: a character that code page 1252"},
        {"unknown value", "/* -- naA -- */\nprop(prText,naA,\"A\").\nprop(prGenName,naA,gnMissing).\n",
         "names.txt:3: dangling reference: gnMissing has no record"},
        {"unknown kind", "/* -- naA -- */\nprop(prColour,naA,\"red\").\n",
         "names.txt:2: dangling reference: property kind prColour has no record"},
        {"missing inverse kind", "/* -- prArea -- */\nprop(prText,prArea,\"x\").\n\n/* -- naA -- */\nprop(prArea,naA,naA).\n",
         "names.txt:5: dangling reference: property kind prAreaOf, the other direction of prArea"},
        {"another atom's property", "/* -- naA -- */\nprop(prText,naB,\"B\").\n",
         "names.txt:2: property of naB in the record of naA"},
        {"property outside a record", "/* -- naA -- */\n\nprop(prText,naA,\"A\").\n",
         "names.txt:3: property line outside a record"},
        {"record without its empty line", "/* -- naA -- */\n/* -- naB -- */\n", "names.txt:2: record marker inside"},
        {"stray text in a record", "/* -- naA -- */\nprop(prText,naA,\"A\")\n", "names.txt:2: malformed property line"},
        {"the compiler's property", "/* -- poA -- */\nprop(prFilePos,poA,\"7\").\n", "names.txt:2: prFilePos is the compiler's"},
        {"hit-parade data too short", "/* -- poA -- */\nprop(prText,poA,\"A\").\n",
         "names.txt:1: hit-parade data (\"po\" atoms) needs at least two"},
        {"group of neither gender",
         "/* -- gnA -- */\nprop(prText,gnA,\"A\").\n\n/* -- naA -- */\nprop(prGenName,naA,gnA).\n",
         "names.txt:1: group gnA is neither male nor female"},
        {"name in a set as group",
         "/* -- naA -- */\nprop(prGenName,naA,seLanguages).\n",
         "names.txt:2: group seLanguages of naA is neither male nor female"},
        {"language cycle",
         "/* -- laA -- */\nprop(prMemberOf,laA,seLanguages).\nprop(prSubsetOf,laA,laC).\n\n"
         "/* -- laB -- */\nprop(prMemberOf,laB,seLanguages).\nprop(prSubsetOf,laB,laA).\n\n"
         "/* -- laC -- */\nprop(prMemberOf,laC,seLanguages).\nprop(prSubsetOf,laC,laB).\n",
         "names.txt:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(Compile(c.source));
        EXPECT_EQ(failure_.substr(0, std::string(c.expected).size()), c.expected) << failure_;
    }
    EXPECT_NE(failure_.find("language cycle: la"), std::string::npos) << failure_;
}

TEST_F(MakeDbRules, RefusesMoreAtomsOrPropertiesThanTheFileHolds) {
    std::string atoms;
    for (int i = 0; i < kFileAtomCapacity; ++i) atoms += "/* -- naN" + std::to_string(i) + " -- */\n\n";
    // After the vocabulary's atoms, the record on this line is one too many.
    int line = 2 * (kFileAtomCapacity - VocabularyAtoms()) + 1;
    EXPECT_FALSE(Compile(atoms));
    EXPECT_EQ(failure_.substr(0, failure_.find(' ')), "names.txt:" + std::to_string(line) + ":");
    EXPECT_NE(failure_.find("more atoms than the database file holds"), std::string::npos);

    // One atom holds at most 32767: the properties are spread over records.
    std::string props;
    line = 0;
    int failing = 0;
    // Equal properties are shared: the vocabulary's count as one each (kind
    // and value, whatever their atom); the property of number `last` is one
    // too many.
    std::set<std::string> shared;
    std::istringstream vocabulary(Vocabulary());
    for (std::string l; std::getline(vocabulary, l);)
        if (l.rfind("prop(", 0) == 0) shared.insert(l.substr(5, l.find(',') - 5) + l.substr(l.find(',', l.find(',') + 1)));
    const int last = kFilePropCapacity - static_cast<int>(shared.size());
    for (int i = 0, n = 0; n <= last; ++i) {
        std::string name = "naA" + std::to_string(i);
        props += "/* -- " + name + " -- */\n";
        ++line;
        for (int k = 0; k < 30000 && n <= last; ++k, ++n) {
            props += "prop(prText," + name + ",\"" + std::to_string(n) + "\").\n";
            if (++line && n == last) failing = line;
        }
        props += "\n";
        ++line;
    }
    EXPECT_FALSE(Compile(props));
    EXPECT_EQ(failure_.substr(0, failure_.find(' ')), "names.txt:" + std::to_string(failing) + ":");
    EXPECT_NE(failure_.find("more properties than the database file holds"), std::string::npos);
}

TEST_F(MakeDbRules, CommandLineWritesBothEditionsOrNeither) {
    std::string dir = testing::TempDir() + "makedb_main_" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    auto put = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    };
    std::string vocab = put("vocabulary.txt", Vocabulary());
    std::string names = put("names.txt", kNames);
    std::ostringstream out, err;
    ASSERT_EQ(MakeDb::Main({"--out", dir, vocab, names}, out, err), 0) << err.str();
    std::string talv = dir + "/Talv1Dat.bin", orsa = dir + "/Orsa1Dat.bin";
    ASSERT_TRUE(std::filesystem::exists(talv) && std::filesystem::exists(orsa));
    // The same database in both; only the header names the edition.
    EXPECT_EQ(std::filesystem::file_size(talv), std::filesystem::file_size(orsa));
    EXPECT_EQ(MakeDb::Main({"--check", orsa}, out, err), 0);

    // A refused source leaves neither file, so the build never keeps an old one.
    std::string bad = put("bad.txt", "/* -- naB -- */\nprop(prGenName,naB,gnNone).\n");
    EXPECT_EQ(MakeDb::Main({"--out", dir, vocab, names, bad}, out, err), 1);
    EXPECT_NE(err.str().find(bad + ":2: dangling reference: gnNone has no record"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(talv) || std::filesystem::exists(orsa));
    std::filesystem::remove_all(dir);
}
