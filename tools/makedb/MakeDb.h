// The database compiler: turns the database source (UTF-8 text files in the
// text form of the user-names file) into the binary database files the
// program loads, "Talv1Dat.bin" and "Orsa1Dat.bin".
//
// Everything the program reads precomputed from the binary file (kinds,
// levels, text and description indexes, sound and upper-case keys, variant
// counts) is computed here by the program's own code, in the text language
// of the edition, so that what the reader gets is what the program would
// compute. Both directions of every paired property are written, since the
// program never adds them itself.
// A source that breaks a rule is refused with the file and line at fault.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "BinFile.h"

namespace MakeDb {

// A place in the source.
struct Where {
    std::string file;
    int line = 0;
};

// Why the source or the output was refused: "file:line: message", or only
// the message when no line is at fault.
struct Failure {
    Where where;
    std::string message;
    std::string Text() const;
};

// One property line of the source.
struct SourceProp {
    Where where;
    std::string kind;        // internal name of the property kind
    std::string value;       // internal name of the value atom, "" for none
    std::string str;         // the string value (cp1252)
    bool hasAtom = false;
    bool hasStr = false;
};

// One record: an atom with its property lines in order.
struct SourceRecord {
    Where where;
    std::string name;
    std::vector<SourceProp> props;
};

// The pairs of property kinds that are each other's inverse: kind A on X
// pointing at Y goes with kind B on Y pointing back at X.
struct KindPair {
    const char* a;
    const char* b;
};
const std::vector<KindPair>& Pairs();

class Compiler {
public:
    // Reads one source file (UTF-8; CR LF, LF or CR line ends). Files are read
    // in the order given; false on the first broken rule.
    bool AddFile(const std::string& path);
    // The same for a text already in memory; file names it in messages.
    bool AddText(const std::string& file, std::string_view utf8);

    // Builds the database from everything read (into the program's database
    // tables, emptied first): atoms in record order, properties, both
    // directions of every pair (also of what a spelling variant inherits),
    // the file positions of the hit-parade data, every derived value in the
    // text language given (1 English for Talvessin, 0 German for Orsabrine).
    // False when a rule is broken.
    bool Build(int textLanguage = 1);

    const std::vector<SourceRecord>& records() const { return records_; }
    const Failure& failure() const { return failure_; }

private:
    // The steps of Build, in its order, and what they share.
    struct BuildState;
    bool CreateAtoms();
    bool Registered(BuildState& state, const Where& where, atom* kind, atom* value, const std::string& str,
                    int type, Prop*& out);
    bool AddSourceProps(BuildState& state);
    long MirrorAll(BuildState& state);
    bool MirrorInherited(BuildState& state);
    bool AddPopLists(BuildState& state);

    bool Fail(const Where& where, std::string message);
    bool ParseLine(const Where& where, const std::string& line, SourceRecord* record, bool& startsRecord,
                   std::string& markerName);
    bool CheckLanguageCycles();
    bool CheckGroups();
    bool CheckKinds();
    bool CheckQuestionLevels();

    std::vector<SourceRecord> records_;
    Failure failure_;
};

// A value copy of the whole database, for comparing what was built with what
// the reader gets.
struct PropValue {
    std::string kind;
    int16_t type = 0;  // 0 atom, 1 string, 2 both
    std::string atomVal;
    std::string strVal;
    bool operator==(const PropValue&) const = default;
};
struct AtomValue {
    int32_t id = 0;
    std::string name;
    int16_t kind = 0, numVariants = 0, textIdx = 0, descrIdx = 0, level = 0;
    std::string soundex, upper, text, descr;
    std::vector<PropValue> props;
    bool operator==(const AtomValue&) const = default;
};
struct Snapshot {
    std::vector<AtomValue> atoms;
    std::vector<std::string> names;  // the name table in its order
    std::vector<int32_t> ids;
    int32_t counts[6] = {};  // names, male, female, groups, male groups, female groups
};
// The current database; the positions of the hit-parade blocks (prFilePos)
// are left out, since they are known only once the file is written.
Snapshot TakeSnapshot();
// "" when equal, else the first difference.
std::string Compare(const Snapshot& built, const Snapshot& read);

// The header of an edition's file: talvessin True for "Talv1Dat.bin".
DataBase::BinHeader EditionHeader(bool talvessin);

// Writes the database built last to path and reads it back with the
// program's reader (every hit-parade block loaded too), comparing every
// atom. The database tables hold the file's contents afterwards.
bool WriteAndVerify(const std::string& path, const DataBase::BinHeader& header, Failure& failure);

// The counts by kind of the database file at path, as "makedb --check"
// prints them; false with the reader's error in text.
bool CheckFile(const std::string& path, std::string& text);

// The source files of a source folder in reading order: the names listed in
// its file "FILES", one a line ("#" starts a comment line), as paths in dir.
bool SourceFiles(const std::string& dir, std::vector<std::string>& files, Failure& failure);

// The command line: "makedb --out DIR SOURCE...", "makedb --out DIR --data
// SOURCEDIR" (the files that SOURCEDIR/FILES lists) or "makedb --check FILE";
// "--help" or "-h" prints the usage (status 0), any other option, or one
// without its value, is refused with it (status 2), and neither writes a
// file. A run that fails leaves DIR as it was (see Outputs.h).
int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace MakeDb
