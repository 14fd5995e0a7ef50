// The writer of the binary database file (the format is in BinFile.h).
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "BinFile.h"
#include "BodySum.h"
#include "DataBase.h"
#include "DbInternal.h"
#include "FileOp.h"

namespace DataBase {

namespace {

class Out {
public:
    std::vector<unsigned char> b;
    int64_t filePos() const { return static_cast<int64_t>(b.size()) + 1; }
    void I16(int v) {
        auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
        b.push_back(static_cast<unsigned char>(u));
        b.push_back(static_cast<unsigned char>(u >> 8));
    }
    void I32(int64_t v) {
        auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(u >> (8 * i)));
    }
    void Put32At(size_t at, int64_t v) {
        auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(u >> (8 * i));
    }
    void Str(std::string_view s) {
        I16(static_cast<int>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
    }
};

struct Refused {
    std::string detail;
};

[[noreturn]] void Refuse(const std::string& detail) { throw Refused{detail}; }

void CheckText(std::string_view s, const char* what) {
    if (s.size() > static_cast<size_t>(kMaxString))
        Refuse(std::string(what) + " longer than 1000: " + std::string(s.substr(0, 40)));
}

// How one atom's properties are laid out in the file.
struct Layout {
    std::vector<Prop*> list;       // "*atomProp" (for a "po" atom: with a null for its prFilePos)
    std::vector<Prop*> block;      // on-demand block
    int fileIndexOfFilePos = -1;   // "po" atoms: index of prFilePos in the list
    std::vector<int> fileIndex;    // in-memory property index -> file index
};

Layout MakeLayout(const atom& a, const atom* filePosKind) {
    Layout l;
    const auto& ps = a.props();
    if (!a.LoadedOnDemand()) {
        l.list = ps;
        l.fileIndex.resize(ps.size());
        for (size_t i = 0; i < ps.size(); ++i) l.fileIndex[i] = static_cast<int>(i);
        return l;
    }
    std::vector<size_t> real;
    for (size_t i = 0; i < ps.size(); ++i)
        if (ps[i]->proper() != filePosKind) real.push_back(i);
    size_t headSize = std::min<size_t>(2, real.size());
    l.fileIndex.assign(ps.size(), static_cast<int>(headSize));
    for (size_t k = 0; k < real.size(); ++k) {
        Prop* p = ps[real[k]];
        if (k < headSize) {
            l.list.push_back(p);
            l.fileIndex[real[k]] = static_cast<int>(k);
        } else {
            l.block.push_back(p);
            l.fileIndex[real[k]] = static_cast<int>(k + 1);
        }
    }
    l.fileIndexOfFilePos = static_cast<int>(headSize);
    l.list.push_back(nullptr);
    return l;
}

int16_t MapIdx(int16_t idx, const Layout& l) {
    if (idx >= 0 && static_cast<size_t>(idx) < l.fileIndex.size())
        return static_cast<int16_t>(l.fileIndex[static_cast<size_t>(idx)]);
    return idx;
}

// Hit-parade atoms still waiting for their on-demand load get it now: the
// file is written whole. A failure is the status to give back.
DbStatus LoadPendingBlocks(const std::string& fileName, atom* filePosKind) {
    if (dbFileName.empty()) return {};
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* a = atomTab[static_cast<size_t>(id)];
        int32_t pos = 0;
        if (a == nothingAtom || !a->LoadedOnDemand() || a->NumProp() >= 4) continue;
        if (!a->FirstProp(filePosKind) || !a->GetFilePos(pos) || pos <= 0) continue;
        DbStatus ld = LoadOnDemandStatus(*a);
        if (!ld.ok) {
            ld.path = fileName;
            return ld;
        }
    }
    return {};
}

// The database as the file numbers it: atoms by dense ids, properties in
// file order, every atom's properties laid out. Each step refuses what the
// reader would refuse.
struct FilePlan {
    atom* filePosKind = nullptr;
    std::vector<int32_t> newId;     // in-memory atom id -> file id (-1: deleted)
    std::vector<atom*> live;        // by file id
    std::vector<Layout> layouts;    // by file id
    std::unordered_map<const Prop*, int32_t> fileProp;
    std::vector<Prop*> order;       // the file's property table, without the prFilePos ones
    size_t numPo = 0;               // "po" atoms: one prFilePos property each

    int32_t IdOf(const atom* a, const char* what) const {
        if (a && a != nothingAtom && a->id() >= 0 && a->id() < numAtoms &&
            atomTab[static_cast<size_t>(a->id())] == a)
            return newId[static_cast<size_t>(a->id())];
        Refuse(std::string(what) + " is no atom of the table");
    }

    // Dense ids for the live atoms.
    void NumberAtoms() {
        newId.assign(static_cast<size_t>(numAtoms), -1);
        for (int32_t id = 0; id < numAtoms; ++id) {
            atom* a = atomTab[static_cast<size_t>(id)];
            if (a == nothingAtom) continue;
            newId[static_cast<size_t>(id)] = static_cast<int32_t>(live.size());
            live.push_back(a);
        }
        if (static_cast<int32_t>(live.size()) > kFileAtomCapacity) Refuse("more than 25001 atoms");
        if (static_cast<int32_t>(live.size()) != numStrings) Refuse("name table out of step with the atoms");
    }

    void LayOutAtoms() {
        layouts.reserve(live.size());
        bool anyPo = false;
        for (atom* a : live) {
            layouts.push_back(MakeLayout(*a, filePosKind));
            anyPo = anyPo || a->LoadedOnDemand();
            const Layout& l = layouts.back();
            if (l.list.size() > 32767 || l.block.size() > 32767) Refuse("too many properties on " + a->name());
            CheckText(a->name(), "name");
            CheckText(a->Soundex(), "Soundex");
            CheckText(a->Uppercase(), "Uppercase");
        }
        if (anyPo && filePosKind == nothingAtom) Refuse("on-demand atoms without prFilePos");
    }

    // The property table of the file: the registered properties the lists
    // use, in id order; then unregistered ones as met; then (written
    // apart) one prFilePos per "po" atom.
    void NumberProps() {
        std::vector<char> usedReg(static_cast<size_t>(numProps), 0);
        std::vector<Prop*> unregistered;
        for (const Layout& l : layouts)
            for (Prop* p : l.list) {
                if (!p) continue;
                if (p->id() >= 0 && p->id() < numProps && propTab[static_cast<size_t>(p->id())] == p)
                    usedReg[static_cast<size_t>(p->id())] = 1;
                else if (fileProp.emplace(p, -1).second)
                    unregistered.push_back(p);
            }
        for (int32_t i = 0; i < numProps; ++i)
            if (usedReg[static_cast<size_t>(i)]) order.push_back(propTab[static_cast<size_t>(i)]);
        order.insert(order.end(), unregistered.begin(), unregistered.end());
        for (size_t i = 0; i < order.size(); ++i) fileProp[order[i]] = static_cast<int32_t>(i);
        for (atom* a : live) numPo += a->LoadedOnDemand() ? 1 : 0;
        if (order.size() + numPo > static_cast<size_t>(kFilePropCapacity)) Refuse("more than 150001 properties");
    }
};

// The file's bytes, section by section, in the order they are written.
class FileWriter {
public:
    explicit FileWriter(const FilePlan& plan) : p_(plan) {}
    Out o;

    // The checksum is filled in by Sum once the body is written.
    void Header(const BinHeader& header) {
        o.Str(header.text);
        o.I16(0);
        o.I16(header.field3);
        o.I16(header.field4);
        sumAt_ = o.b.size();
        o.I32(0);
        o.I32(kSumMark);
        o.Str(header.text7);
        o.Str(header.text8);
        bodyAt_ = o.b.size();
        CheckText(header.text, "header");
        CheckText(header.text7, "header");
        CheckText(header.text8, "header");
    }

    void NameTables() {
        o.Str("*stringTab");
        o.I32(numStrings);
        for (DbText s : stringTab) o.Str(s);
        o.Str("*idTab");
        o.I32(numStrings);
        for (int32_t id : idTab) {
            if (id < 0 || id >= numAtoms || p_.newId[static_cast<size_t>(id)] < 0) Refuse("name without atom");
            o.I32(p_.newId[static_cast<size_t>(id)]);
        }
    }

    // The atom records, each "po" atom's on-demand block after its record.
    void Atoms() {
        o.Str("*atoms");
        o.I32(static_cast<int64_t>(p_.live.size()));
        blockPos_.assign(p_.live.size(), 0);
        for (size_t i = 0; i < p_.live.size(); ++i) {
            const atom* a = p_.live[i];
            const Layout& l = p_.layouts[i];
            o.I32(static_cast<int64_t>(i));
            o.Str(a->name());
            o.I16(a->kind());
            o.I16(a->numVariants);
            o.I16(MapIdx(a->textIdx(), l));
            o.I16(MapIdx(a->descrIdx(), l));
            o.I16(a->Level());
            o.Str(a->Soundex());
            o.Str(a->Uppercase());
            if (a->LoadedOnDemand()) {
                blockPos_[i] = o.filePos();
                size_t at = o.b.size();
                o.I32(0);
                o.I16(static_cast<int>(l.block.size()));
                for (const Prop* p : l.block) Property(p);
                o.Put32At(at, o.filePos());
            }
            if (o.b.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2)) Refuse("file too long");
        }
    }

    // The property table, then one prFilePos per "po" atom naming where its
    // block begins.
    void Props() {
        o.Str("*prop");
        o.I32(static_cast<int64_t>(p_.order.size() + p_.numPo));
        for (const Prop* p : p_.order) Property(p);
        filePosPropId_.assign(p_.live.size(), -1);
        int32_t nextProp = static_cast<int32_t>(p_.order.size());
        for (size_t i = 0; i < p_.live.size(); ++i) {
            if (!p_.live[i]->LoadedOnDemand()) continue;
            filePosPropId_[i] = nextProp++;
            o.I32(p_.IdOf(p_.filePosKind, "prFilePos"));
            o.I16(1);
            o.Str(std::to_string(blockPos_[i]));
        }
    }

    void AtomProps() {
        o.Str("*atomProp");
        o.I32(static_cast<int64_t>(p_.live.size()));
        for (size_t i = 0; i < p_.live.size(); ++i) {
            const Layout& l = p_.layouts[i];
            o.I16(static_cast<int>(l.list.size()));
            for (const Prop* p : l.list) o.I32(p ? p_.fileProp.at(p) : filePosPropId_[i]);
        }
        o.Str("*end");
    }

    void Sum() { o.Put32At(sumAt_, static_cast<int32_t>(BodySumOf(o.b.data() + bodyAt_, o.b.size() - bodyAt_))); }

private:
    void Property(const Prop* p) {
        o.I32(p_.IdOf(p->proper(), "a property's kind"));
        int16_t k = p->kind() == 0 || p->kind() == 1 ? p->kind() : 2;
        o.I16(k);
        if (k != 1) o.I32(p_.IdOf(p->atomVal(), "a property's value"));
        if (k != 0) {
            CheckText(p->strVal(), "property string");
            o.Str(p->strVal());
        }
    }

    const FilePlan& p_;
    size_t sumAt_ = 0, bodyAt_ = 0;      // where the checksum goes, where the body begins
    std::vector<int64_t> blockPos_;       // by file id: where a "po" atom's block begins
    std::vector<int32_t> filePosPropId_;  // by file id: a "po" atom's prFilePos property
};

}  // namespace

DbStatus WriteBinFile(const std::string& fileName, const BinHeader& header) {
    DbStatus st;
    st.path = fileName;
    try {
        if (!nothingAtom) Refuse("no database");
        FilePlan plan;
        plan.filePosKind = GetAtom("prFilePos");
        if (DbStatus ld = LoadPendingBlocks(fileName, plan.filePosKind); !ld.ok) return ld;
        plan.NumberAtoms();
        plan.LayOutAtoms();
        plan.NumberProps();

        FileWriter w(plan);
        w.Header(header);
        w.NameTables();
        w.Atoms();
        w.Props();
        w.AtomProps();
        w.Sum();

        // A new file that replaces the old one only when it is complete.
        int err = FileOp::WriteFileAtomically(
            FileOp::Native(fileName),
            std::string_view(reinterpret_cast<const char*>(w.o.b.data()), w.o.b.size()));
        if (err != 0) {
            st.ok = false;
            st.error = err;
            st.detail = "write";
        }
    } catch (const Refused& r) {
        st.ok = false;
        st.error = kStructError;
        st.detail = r.detail;
    }
    return st;
}

}  // namespace DataBase
