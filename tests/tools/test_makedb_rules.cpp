// The database compiler on small sources: what it derives and writes, and
// every rule by which it refuses a source, naming file and line.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Basic.h"
#include "BinFile.h"
#include "DataBase.h"
#include "Fakes.h"
#include "MakeDb.h"
#include "Outputs.h"
#include "TempFolder.h"

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

int VocabularyAtoms() { return static_cast<int>(KindAtomNames().size()) + 2; }

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
    EXPECT_EQ(GetAtom("laGermanic")->Text(), "Germanic");  // English texts by default
    // The mirrors the program never adds itself, also of what the spelling
    // variant inherits (this vocabulary lets it inherit its group).
    EXPECT_TRUE(anna->HasProp(prNameVariant, annika));
    EXPECT_TRUE(anna->HasProp(prNameVariant, var));
    EXPECT_EQ(anna->numVariants, 2);
    EXPECT_TRUE(GetAtom("laGermanic")->HasProp(prSubset, GetAtom("laSwiss")));
    EXPECT_TRUE(GetAtom("laSwiss")->HasProp(prLangOf, annika));
    EXPECT_TRUE(annika->HasProp(prWriteVar, var));
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
    // The name's list of its hit parades, "id/rank".
    const Prop* pop = annika->FirstProp(prPop);
    ASSERT_NE(pop, nullptr);
    EXPECT_EQ(pop->strVal(), std::to_string(po->id()) + "/1");
    EXPECT_EQ(numAllFemale, 2);
    EXPECT_EQ(numAllFemaleGen, 1);
}

TEST_F(MakeDbRules, RefusesABrokenSourceNamingFileAndLine) {
    struct Case {
        const char* what;
        std::string source;    // "|" ends a line
        const char* expected;  // the start of the failure text
    };
    const Case cases[] = {
        {"duplicate without case", "/* -- naAb -- */||/* -- naAB -- */|",
         "names.txt:3: duplicate internal name naAB (first at names.txt:1)"},
        {"duplicate of another file", "/* -- prTEXT -- */|", "names.txt:1: duplicate internal name prTEXT"},
        {"name of the user's", "/* -- naAnnaUser -- */|", "names.txt:1: internal name naAnnaUser ends in User"},
        {"unknown prefix", "/* -- xxA -- */|", "names.txt:1: internal name xxA is not a two-letter prefix"},
        {"no capital after the prefix", "/* -- naanna -- */|", "names.txt:1: internal name naanna is not"},
        {"accented name", "|/* -- naZoë -- */|", "names.txt:2: internal name \"naZoë\" is not made of"},
        {"the nothing atom", "/* -- Nothing -- */|", "names.txt:1: internal name nothing is reserved"},
        {"record without properties", "/* -- naA -- */||", "names.txt:1: record of naA without properties"},
        {"record without its empty line", "/* -- naA -- */|/* -- naB -- */|", "names.txt:2: record marker inside"},
        {"property outside a record", "/* -- naA -- */||prop(prText,naA,\"A\").|",
         "names.txt:3: property line outside a record"},
        {"another atom's property", "/* -- naA -- */|prop(prText,naB,\"B\").|",
         "names.txt:2: property of naB in the record of naA"},
        {"stray text in a record", "/* -- naA -- */|prop(prText,naA,\"A\")|", "names.txt:2: malformed property line"},
        {"hyphen in a value", "/* -- naA -- */|prop(prGenName,naA,gn-A).|", "names.txt:2: malformed property line"},
        {"kind that is no property kind", "/* -- naA -- */|prop(seLanguages,naA,\"x\").|",
         "names.txt:2: property kind seLanguages is no \"pr\" atom"},
        {"blank at a string's end", "/* -- naA -- */|prop(prText,naA,\"A \").|",
         "names.txt:2: string beginning or ending"},
        {"string too long", "/* -- naA -- */|prop(prText,naA,\"" + std::string(1001, 'a') + "\").|",
         "names.txt:2: string longer than 1000 bytes"},
        {"no cp1252 character", "/* -- naA -- */|prop(prText,naA,\"Ā\").|",
         "names.txt:2: a character that code page 1252"},
        {"nothing as value", "/* -- naA -- */|prop(prGenName,naA,nothing).|", "names.txt:2: internal name nothing"},
        {"unknown value", "/* -- naA -- */|prop(prText,naA,\"A\").|prop(prGenName,naA,gnMissing).|",
         "names.txt:3: dangling reference: gnMissing has no record"},
        {"unknown kind", "/* -- naA -- */|prop(prColour,naA,\"red\").|",
         "names.txt:2: dangling reference: property kind prColour has no record"},
        {"missing inverse kind",
         "/* -- prArea -- */|prop(prText,prArea,\"x\").||/* -- naA -- */|prop(prArea,naA,naA).|",
         "names.txt:5: dangling reference: property kind prAreaOf, the other direction of prArea"},
        {"the compiler's property", "/* -- poA -- */|prop(prFilePos,poA,\"7\").|",
         "names.txt:2: prFilePos is the compiler's"},
        {"prPop outside a hit parade", "/* -- naA -- */|prop(prPop,naA,naA,\"1\").|", "names.txt:2: prPop belongs"},
        {"prPop without a rank",
         "/* -- poA -- */|prop(prText,poA,\"A\").|prop(prMemberOf,poA,sePopularities).|"
         "prop(prPop,poA,laGerman,\"1c\").|",
         "names.txt:4: prPop belongs"},
        {"hit-parade data too short", "/* -- poA -- */|prop(prText,poA,\"A\").|",
         "names.txt:1: hit-parade data (\"po\" atoms) needs at least two"},
        {"variant of a variant",
         "/* -- naA -- */|prop(prWriteVarOf,naA,naB).||/* -- naB -- */|prop(prWriteVarOf,naB,naC).||"
         "/* -- naC -- */|prop(prText,naC,\"C\").|",
         "names.txt:2: naB is itself a spelling variant (of naC)"},
        {"kind other than the prefix's", "/* -- toA -- */|prop(prText,toA,\"A\").|",
         "names.txt:1: toA gets kind 99, not the kind of its prefix to"},
        {"group of both genders",
         "/* -- gnA -- */|prop(prSubsetOf,gnA,seMaleNames).|prop(prSubsetOf,gnA,seFemaleNames).|",
         "names.txt:1: group gnA is not in exactly one"},
        {"group of neither gender",
         "/* -- gnA -- */|prop(prText,gnA,\"A\").||/* -- naA -- */|prop(prGenName,naA,gnA).|",
         "names.txt:1: group gnA is neither male nor female"},
        {"name in a set as group", "/* -- naA -- */|prop(prGenName,naA,seLanguages).|",
         "names.txt:2: group seLanguages of naA is neither male nor female"},
        {"question level below 0", "/* -- quA -- */|prop(prMemberOf,quA,seQuestions).|prop(prLevel,quA,\"-3000000000\").|",
         "names.txt:3: question quA has the level \"-3000000000\"; a question's level is 0, 1 or 2"},
        {"question level above 2", "/* -- quA -- */|prop(prMemberOf,quA,seEnglishQuestions).|prop(prLevel,quA,\"3\").|",
         "names.txt:3: question quA has the level \"3\""},
        {"language cycle",
         "/* -- laA -- */|prop(prMemberOf,laA,seLanguages).|prop(prSubsetOf,laA,laC).||"
         "/* -- laB -- */|prop(prMemberOf,laB,seLanguages).|prop(prSubsetOf,laB,laA).||"
         "/* -- laC -- */|prop(prMemberOf,laC,seLanguages).|prop(prSubsetOf,laC,laB).|",
         "names.txt:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string source = c.source;
        std::replace(source.begin(), source.end(), '|', '\n');
        EXPECT_FALSE(Compile(source));
        EXPECT_EQ(failure_.substr(0, std::string(c.expected).size()), c.expected) << failure_;
    }
    EXPECT_NE(failure_.find("language cycle: la"), std::string::npos) << failure_;
}

TEST_F(MakeDbRules, RefusesMoreAtomsThanTheFileHolds) {
    std::string atoms;
    for (int i = 0; i < kFileAtomCapacity; ++i) atoms += "/* -- naN" + std::to_string(i) + " -- */\n\n";
    // After the vocabulary's atoms, the record on this line is one too many.
    int line = 2 * (kFileAtomCapacity - VocabularyAtoms()) + 1;
    EXPECT_FALSE(Compile(atoms));
    EXPECT_EQ(failure_.substr(0, failure_.find(' ')), "names.txt:" + std::to_string(line) + ":");
    EXPECT_NE(failure_.find("more atoms than the database file holds"), std::string::npos);
}

TEST_F(MakeDbRules, CommandLineWritesBothEditionsOrLeavesTheFolderAsItWas) {
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
    put("FILES", "vocabulary.txt\nnames.txt\n");
    ASSERT_EQ(MakeDb::Main({"--out", dir, "--data", dir}, out, err), 0) << err.str();
    std::string talv = dir + "/Talv1Dat.bin", orsa = dir + "/Orsa1Dat.bin";
    ASSERT_TRUE(std::filesystem::exists(talv) && std::filesystem::exists(orsa));
    // The same database in both, each with the texts of its edition's language.
    for (const auto& [file, text] : {std::pair{talv, "Germanic"}, std::pair{orsa, "Germanisch"}}) {
        InitDataBase();
        ASSERT_TRUE(ReadBinFile(file).ok) << file;
        EXPECT_EQ(GetAtom("laGermanic")->Text(), text) << file;
        EXPECT_EQ(GetAtom("laGermanic")->Uppercase(), Basic::UpperAscii(text)) << file;
    }
    std::ostringstream counts;
    EXPECT_EQ(MakeDb::Main({"--check", orsa}, counts, err), 0);
    EXPECT_NE(counts.str().find("kind 1 female names: 2\n"), std::string::npos) << counts.str();
    EXPECT_NE(counts.str().find("kind 10 hit parades: 1\n"), std::string::npos) << counts.str();
    // A damaged file: the reader's error, and status 1.
    std::filesystem::resize_file(orsa, 40);
    EXPECT_EQ(MakeDb::Main({"--check", orsa}, out, err), 1);
    EXPECT_NE(err.str().find("damaged"), std::string::npos) << err.str();
    EXPECT_EQ(MakeDb::Main({"--bogus"}, out, err), 2);

    // A run that fails leaves the folder as it was, older files too (their
    // age makes the build run again): a refused source; "--data" without its
    // folder (once taken for a source file, whose refusal removed the
    // files); an empty argument; a folder where the second file goes (the
    // first is not replaced either).
    std::string bad = put("bad.txt", "/* -- naB -- */\nprop(prGenName,naB,gnNone).\n");
    put("Talv1Dat.bin", "old T");
    put("Orsa1Dat.bin", "old O");
    auto entries = [&] { return std::distance(std::filesystem::directory_iterator(dir), {}); };
    const auto before = entries();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string said;
    } runs[] = {{{"--out", dir, vocab, names, bad}, 1, bad + ":2: dangling reference: gnNone has no record"},
                {{"--out", dir, "--data"}, 2, "--data needs SRCDIR"},
                {{"--check", ""}, 2, "empty argument"},
                {{"--out", dir, vocab, names}, 1, orsa + ": nothing written: a folder has its name"}};
    for (const auto& run : runs) {
        const bool folder = &run == &runs[3];
        if (folder) std::filesystem::remove(orsa), std::filesystem::create_directory(orsa);
        std::ostringstream said;
        EXPECT_EQ(MakeDb::Main(run.args, out, said), run.status) << run.said;
        EXPECT_NE(said.str().find(run.said), std::string::npos) << said.str();
        EXPECT_EQ(TempFolder::Get(talv), "old T") << run.said;
        EXPECT_EQ(folder ? "old O" : TempFolder::Get(orsa), "old O") << run.said;
        EXPECT_EQ(entries(), before) << run.said;
    }
    std::filesystem::remove_all(dir);
}

// A run stopped by SIGTERM or SIGINT removes its own folder and still ends
// by the signal; what a run killed outright leaves, the next run removes,
// and nothing else: not the folder of a run still going, nor another
// program's, nor one named as before the names carried the process, nor a
// link. The older files stay as they were all along.
TEST(MakeDbOutputs, AStoppedRunLeavesNothingAndAKilledRunsFolderGoesWithTheNext) {
    TempFolder dir;
    TempFolder::Put(dir / "Talv1Dat.bin", "old T");
    TempFolder::Put(dir / "Orsa1Dat.bin", "old O");
    auto runFolders = [&] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            n += e.path().filename().string().starts_with(".makedb-");
        return n;
    };
    pid_t killed = 0;
    for (int sig : {SIGTERM, SIGINT, SIGKILL}) {
        // The run tells when its folder holds a file, and ends (status 2)
        // when the test hangs up: a signal it outlives fails, never hangs.
        int line[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, line), 0);
        const pid_t run = ::fork();
        if (run == 0) {
            ::close(line[0]);
            MakeDb::Outputs outputs(dir.Path(), {"Talv1Dat.bin", "Orsa1Dat.bin"});
            MakeDb::Failure f;
            if (!outputs.Open(f)) ::_exit(1);
            TempFolder::Put(outputs.Temp(0), "new T");
            char c = 0;
            if (::write(line[1], "x", 1) == 1) (void)::read(line[1], &c, 1);
            ::_exit(2);
        }
        char c = 0;
        if (::read(line[0], &c, 1) == 1) ::kill(run, sig);
        ::close(line[0]);
        ::close(line[1]);
        int status = 0;
        ASSERT_EQ(::waitpid(run, &status, 0), run);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "signal " << sig << ", status " << status;
        EXPECT_EQ(runFolders(), sig == SIGKILL ? 1 : 0) << "signal " << sig;
        killed = run;
    }
    const std::vector<std::string> others = {".makedb-" + std::to_string(::getpid()) + "-abc123", ".makedb-foo",
                                             ".makedb-aB3xYz"};
    for (const std::string& name : others) {
        std::filesystem::create_directory(dir / name);
        TempFolder::Put(dir / name + "/Talv1Dat.bin", "its own");
    }
    std::filesystem::create_directory_symlink(others[0], dir / (".makedb-" + std::to_string(killed) + "-abc123"));
    {
        MakeDb::Outputs next(dir.Path(), {"Talv1Dat.bin", "Orsa1Dat.bin"});
        MakeDb::Failure f;
        ASSERT_TRUE(next.Open(f)) << f.Text();
    }
    EXPECT_EQ(runFolders(), 4);  // the killed run's is gone, the link stays
    for (const std::string& name : others) EXPECT_EQ(TempFolder::Get(dir / name + "/Talv1Dat.bin"), "its own") << name;
    EXPECT_EQ(TempFolder::Get(dir / "Talv1Dat.bin"), "old T");
    EXPECT_EQ(TempFolder::Get(dir / "Orsa1Dat.bin"), "old O");
}
