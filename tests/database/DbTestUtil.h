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
#include <string>
#include <vector>

#include "BinFile.h"
#include "Cp1252.h"
#include "DataBase.h"

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

// A small database with one of every kind, a writing variant, a level, an
// old form, two hit parades (one with an empty block), a property with both
// values, an unregistered property and a 1000-character text.
inline void BuildSmallDb() {
    using namespace DataBase;
    InitDataBase();
    atom* seLang = A("seLanguages");
    atom* seMale = A("seMaleNames");
    atom* seFemale = A("seFemaleNames");
    atom* de = A("laGerman");
    Str(de, "prText", "Deutsch");
    Str(de, "prTextE", "German");
    Rel(de, "prMemberOf", seLang);
    Str(de, "prAbbrev", "dt.");
    Rel(de, "prMemberOf", A("seMainOrigLang"));
    atom* en = A("laEnglish");
    Str(en, "prText", "Englisch");
    Str(en, "prTextE", "English");
    Rel(en, "prMemberOf", seLang);
    atom* la = A("laLatin");
    Str(la, "prText", "Latein");
    Rel(la, "prMemberOf", seLang);
    Rel(la, "prSubset", de);
    for (atom* l : {de, en, la}) Rel(seLang, "prMember", l);

    atom* gnAnna = A("gnAnna");
    Str(gnAnna, "prText", "Anna");
    Str(gnAnna, "prDescr", "Hebräisch: Gnade, Anmut"_cp);
    Rel(gnAnna, "prSubsetOf", seFemale);
    atom* gnPeter = A("gnPeter");
    Str(gnPeter, "prText", "Peter");
    Rel(gnPeter, "prSubsetOf", seMale);
    Str(gnPeter, "prOrigInfo", std::string(1000, 'x'));

    atom* naAnna = A("naAnna");
    Str(naAnna, "prText", "Anna");
    Rel(naAnna, "prGenName", gnAnna);
    Rel(naAnna, "prLang", de);
    Rel(naAnna, "prLang", en);
    atom* naAennchen = A("naÄnnchen"_cp);
    Str(naAennchen, "prText", "Ännchen"_cp);
    Rel(naAennchen, "prGenName", gnAnna);
    atom* naAnnah = A("naAnnah");
    Str(naAnnah, "prText", "Annah");
    Rel(naAnnah, "prWriteVarOf", naAnna);
    atom* naPeter = A("naPeter");
    Str(naPeter, "prText", "Peter");
    Rel(naPeter, "prGenName", gnPeter);
    Str(naPeter, "prLevel", "3.5");
    Rel(naPeter, "prComment", gnAnna, "see Anna");  // both values
    Str(naPeter, "prCommentE", "unregistered", false);
    Rel(gnAnna, "prNameVariant", naAnna);
    Rel(gnAnna, "prNameVariant", naAennchen);
    Rel(gnPeter, "prNameVariant", naPeter);

    atom* old = A("naAnnaOld");
    Str(old, "prText", "Der Hanna");
    Rel(old, "prMemberOf", A("seOrigNames"));
    atom* word = A("woGnade");
    Str(word, "prText", "Gnade");
    Rel(word, "prMemberOf", A("seWords"));

    atom* series = A("psDeYearly");
    Str(series, "prText", "Deutschland jährlich"_cp);
    Rel(series, "prMemberOf", A("sePopSeries"));
    atom* hit = A("poHitDe2020");
    Str(hit, "prText", "Deutschland 2020");
    Rel(hit, "prMemberOf", A("sePopularities"));
    Rel(hit, "prSubsetOf", series);
    Str(hit, "prFromYear", "2020");
    Str(hit, "prYears", "1");
    Str(hit, "prDescr", "Die beliebtesten Namen");
    Rel(hit, "prMember", naAnna);
    atom* hit2 = A("poHitEmpty");
    Str(hit2, "prText", "Leer");
    Rel(hit2, "prMemberOf", A("sePopularities"));
    A("prFilePos");
    A("prNotInherited");
    DeriveAll();
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
    for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
        atom* a = DataBase::atomTab[static_cast<size_t>(id)];
        if (a->LoadedOnDemand()) EXPECT_TRUE(a->LoadOnDemand()) << a->name();
    }
}

// A file name of this test in the temporary folder (tests run in parallel).
inline std::string TempFile(const std::string& tag) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return "/tmp/dbtest_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
           std::to_string(getpid()) + "_" + tag + ".bin";
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
    void I16(int v) {
        auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
        b.push_back(static_cast<unsigned char>(u));
        b.push_back(static_cast<unsigned char>(u >> 8));
    }
    void I32(int64_t v) {
        auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(u >> (8 * i)));
    }
    void Put32(size_t at, int64_t v) {
        auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(u >> (8 * i));
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
    std::vector<DataBase::DbStatus> failures;
    void Start(double m) override { max = m; }
    void Progress(double v) override { progress.push_back(v); }
    void Failed(const DataBase::DbStatus& s) override { failures.push_back(s); }
};

}  // namespace dbtest
