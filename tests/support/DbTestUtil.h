// Helpers of the database tests: a small database built in code, a dump of
// everything the file must carry, temporary files and a raw byte writer.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "BinFile.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "FileOp.h"

namespace dbtest {

inline atom* A(const std::string& name) { return DataBase::CreateAtom(name); }

inline Prop* Str(atom* a, const std::string& kind, const std::string& s, bool reg = true) {
    Prop* p = DataBase::FindOrCreateProp(A(kind), nullptr, s, reg);
    a->AddProp(p);
    return p;
}

inline Prop* Rel(atom* a, const std::string& kind, atom* v, const std::string& s = "") {
    Prop* p = DataBase::FindOrCreateProp(A(kind), v, s, true);
    a->AddProp(p);
    return p;
}

// An atom's properties in order: a value "@name" is an atom, any other a text.
using Facts = std::vector<std::pair<std::string, std::string>>;
inline void Add(const std::string& atomName, const Facts& facts) {
    for (const auto& [kind, value] : facts) {
        if (value.rfind('@', 0) == 0)
            Rel(A(atomName), kind, A(value.substr(1)));
        else
            Str(A(atomName), kind, value);
    }
}

// A small database with one of every kind, a writing variant, a level, an
// old form, two hit parades (one with an empty block), a property with both
// values, an unregistered property and a 1000-character text.
inline void BuildSmallDb() {
    DataBase::InitDataBase();
    Add("laGerman", {{"prText", "Deutsch"}, {"prTextE", "German"}, {"prMemberOf", "@seLanguages"},
                     {"prAbbrev", "dt."}, {"prMemberOf", "@seMainOrigLang"}});
    Add("laEnglish", {{"prText", "Englisch"}, {"prTextE", "English"}, {"prMemberOf", "@seLanguages"}});
    Add("laLatin", {{"prText", "Latein"}, {"prMemberOf", "@seLanguages"}, {"prSubset", "@laGerman"}});
    Add("seLanguages", {{"prMember", "@laGerman"}, {"prMember", "@laEnglish"}, {"prMember", "@laLatin"}});
    Add("gnAnna", {{"prText", "Anna"}, {"prDescr", "Hebräisch: Gnade, Anmut"_cp}, {"prSubsetOf", "@seFemaleNames"}});
    Add("gnPeter", {{"prText", "Peter"}, {"prSubsetOf", "@seMaleNames"}, {"prOrigInfo", std::string(1000, 'x')}});
    Add("naAnna", {{"prText", "Anna"}, {"prGenName", "@gnAnna"}, {"prLang", "@laGerman"}, {"prLang", "@laEnglish"}});
    Add("naÄnnchen"_cp, {{"prText", "Ännchen"_cp}, {"prGenName", "@gnAnna"}});
    Add("naAnnah", {{"prText", "Annah"}, {"prWriteVarOf", "@naAnna"}});
    Add("naPeter", {{"prText", "Peter"}, {"prGenName", "@gnPeter"}, {"prLevel", "3.5"}});
    Rel(A("naPeter"), "prComment", A("gnAnna"), "see Anna");  // both values
    Str(A("naPeter"), "prCommentE", "unregistered", false);
    Add("gnAnna", {{"prNameVariant", "@naAnna"}, {"prNameVariant", "@naÄnnchen"_cp}});
    Add("gnPeter", {{"prNameVariant", "@naPeter"}});
    Add("naAnnaOld", {{"prText", "Der Hanna"}, {"prMemberOf", "@seOrigNames"}});
    Add("woGnade", {{"prText", "Gnade"}, {"prMemberOf", "@seWords"}});
    Add("psDeYearly", {{"prText", "Deutschland jährlich"_cp}, {"prMemberOf", "@sePopSeries"}});
    Add("poHitDe2020", {{"prText", "Deutschland 2020"}, {"prMemberOf", "@sePopularities"}, {"prSubsetOf", "@psDeYearly"},
                        {"prFromYear", "2020"}, {"prYears", "1"}, {"prDescr", "Die beliebtesten Namen"},
                        {"prMember", "@naAnna"}});
    Add("poHitEmpty", {{"prText", "Leer"}, {"prMemberOf", "@sePopularities"}});
    A("prFilePos");
    A("prNotInherited");
    DataBase::DeriveAll();
}

// Everything a reader must give back, one line per atom, in id order.
// With raw False the layout of a "po" atom's properties is left out (its
// prFilePos properties and the raw indexes), so that a database built in
// code compares with one read from a file.
inline std::string Dump(bool raw) {
    using namespace DataBase;
    std::ostringstream o;
    o << "atoms " << numAtoms << " strings " << numStrings << " next " << nextId << " props? "
      << (raw ? numProps : 0) << "\n";
    o << "counts " << numAllNames << " " << numAllMale << " " << numAllFemale << " " << numAllGenNames
      << " " << numAllMaleGen << " " << numAllFemaleGen << "\n";
    for (int32_t i = 0; i < numStrings; ++i)
        o << "name " << stringTab[static_cast<size_t>(i)] << " -> " << idTab[static_cast<size_t>(i)] << "\n";
    atom* fp = GetAtom("prFilePos");
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* a = atomTab[static_cast<size_t>(id)];
        o << id << " " << a->name() << " id " << a->id() << " k " << a->kind() << " v " << a->numVariants
          << " L " << a->Level() << " S[" << a->Soundex() << "] U[" << a->Uppercase() << "] T["
          << a->Text() << "] D[" << a->Descr() << "]";
        if (raw) o << " ti " << a->textIdx() << " di " << a->descrIdx();
        o << "\n";
        for (const Prop* p : a->props()) {
            if (!raw && a->LoadedOnDemand() && p->proper() == fp) continue;
            o << "   " << p->proper()->name() << " " << p->kind();
            if (p->kind() != 1) o << " @" << p->atomVal()->name();
            if (p->kind() != 0) o << " \"" << p->strVal() << "\"";
            o << "\n";
        }
    }
    for (const std::string& k : KindAtomNames()) o << k << "=" << GetAtom(k)->name() << " ";
    return o.str();
}

// Loads every hit-parade atom of the database read last.
inline void LoadAllOnDemand() {
    for (atom* a : DataBase::atomTab) EXPECT_TRUE(!a->LoadedOnDemand() || a->LoadOnDemand()) << a->name();
}

// A file name of this test in the temporary folder (tests run in parallel).
inline std::string TempFile(const std::string& tag) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return "/tmp/dbtest_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
           std::to_string(getpid()) + "_" + tag + ".bin";
}

// Whether this process may map a file of its own under a read lease here:
// a database file so loaded keeps its bytes when it is changed in place.
inline bool LeasesHere() {
    const std::string probe = TempFile("lease");
    std::ofstream(probe) << "x";
    FileOp::InputFile f;
    const bool leased = f.Open(probe) == 0 && FileOp::MappedFile::Map(f) != nullptr;
    std::remove(probe.c_str());
    return leased;
}

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& b) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Little-endian bytes written by hand, for files the writer would never make.
struct Bytes {
    std::vector<unsigned char> b;
    int32_t Pos() const { return static_cast<int32_t>(b.size()) + 1; }
    static unsigned char Byte(int64_t v, int i) { return static_cast<unsigned char>(static_cast<uint64_t>(v) >> (8 * i)); }
    void I16(int v) { b.insert(b.end(), {Byte(v, 0), Byte(v, 1)}); }
    void I32(int64_t v) { b.insert(b.end(), {Byte(v, 0), Byte(v, 1), Byte(v, 2), Byte(v, 3)}); }
    void Put32(size_t at, int64_t v) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = Byte(v, i);
    }
    void Str(const std::string& s) { StrLen(static_cast<int>(s.size()), s); }
    void StrLen(int len, const std::string& s) {
        I16(len);
        b.insert(b.end(), s.begin(), s.end());
    }
};

// Records what the loader shows.
struct RecordingObserver : DataBase::LoadObserver {
    double max = -1;
    std::vector<double> progress;
    std::vector<bool> loadingSeen;  // the loading flag at each update
    std::vector<DataBase::DbStatus> failures;
    void Start(double m) override { max = m; }
    void Progress(double v) override { progress.push_back(v), loadingSeen.push_back(DataBase::loading); }
    void Failed(const DataBase::DbStatus& s) override { failures.push_back(s); }
};

// Records the file errors reported while it lives (instead of showing them).
struct FileErrors {
    std::vector<DataBase::DbStatus> seen;
    FileErrors() {
        DataBase::SetFileErrorHandler([this](const DataBase::DbStatus& s) { seen.push_back(s); });
    }
    ~FileErrors() { DataBase::SetFileErrorHandler(nullptr); }
};

}  // namespace dbtest
