// The user-names file: the names the user entered in the new-names window,
// kept from one run to the next in the user's documents folder in the text
// form of the database ("Talv1User.txt", "Orsa1User.txt" with German texts).
//
//   /* -- naAnnika -- */                    a record: its marker line,
//   prop(prGenName,naAnnika,gnAnna).        one line per property,
//   prop(prText,naAnnika,"Annika").
//                                           and an empty line.
//
// The file is read once at start-up, after the binary database, and written
// whole whenever the user's names have changed: through a temporary file that
// replaces the old one only when it is complete. A file that could not be read
// is copied aside before anything can overwrite it, and the user is told
// where the copy is. Two runs saving the file keep each other's changes
// (UserFileMerge.h).
#pragma once

#include <string>

#include "Atom.h"
#include "GenMsg.h"

namespace DataBase {

// True after the new-names window changed the user's names, until they were
// saved.
extern bool userNamesChanged;

// The user-names file lies in the documents folder (LowLevel::DocumentsFolder).
// "Talv1User.txt" with English texts, "Orsa1User.txt" with German ones.
std::string UserFileName();
// "New Names" / "Eigene Namen": the file's kind in file messages.
std::string UserFileTitle();

// Start-up: merges the user-names file into the database, when there is one.
// A file that cannot be read whole, or of which records were left out or
// not reached (see ReadTextFile), is kept aside as a backup copy before
// anything can overwrite it; texts cut to the window's lengths are only
// told. Every message comes after the file's lock is given back.
void ReadUserFile();

// Reads a file in the text form of the database; every name met that is not
// known yet becomes a new atom, and the new atoms are completed (texts,
// keys, levels, kinds, variant counts, language mirrors). True when the
// whole file was read; on failure its message has been shown. A file that
// cannot be read to its end adds nothing; a property line that breaks the
// grammar (one cut short included) fails the read with message 33.
// Read, but not as it stands (`skipped` then tells, each with one message):
// a record of a name whose group is not a group, or of a link entry (links
// come only with the database), is left out; a text longer than the
// new-names window allows is cut to that length; when the name table fills
// up, the records from there on are not read (message GMuserNoRoom).
bool ReadTextFile(const std::string& path, const std::string& title, bool* skipped = nullptr);

// Parses one property line of a's record and adds the property to a. A line
// that is not a property line (not starting with the identifier prop) is
// accepted and adds nothing. False when a property line breaks the grammar
// (up to its closing ").") or names a property of another atom. A string
// longer than the new-names window allows for its kind (NewNames::kMaxName
// for a text, kMaxInfo otherwise) is cut to that length; cut then tells.
bool ProcessUserLine(atom& a, const std::string& line, bool* cut = nullptr);

// The lines as the reader takes them apart (the merge of two runs' saves
// reads another run's file alike). MarkerName: the record's atom name from
// its marker comment " -- naAnna -- "; false when the name is no usable one.
bool MarkerName(const std::string& comment, std::string& name);
// One property line taken apart. In prop(kind,atom,value). the value is an
// identifier or a string between double quotes.
struct PropLine {
    std::string kind, atomName, value;
    bool isString = false;
};
enum class LineKind { NotProp, Prop, Broken };
LineKind ParsePropLine(const std::string& line, PropLine& out);

// Writes the file, asking whether to try again (message 102) while it fails.
// True when written; then userNamesChanged is cleared.
bool SaveUserNames();

// Writes the whole file; path receives its full path. False on failure (the
// disk error has been shown; the old file is as it was). The disk error of
// a file that could not be written asks whether to try again; it is asked
// with the file's lock given back, and a Yes merges anew what another run
// saved meanwhile.
bool WriteUserFile(std::string& path);

// The pieces of the file, appended to out (lines end in CR LF).
void WriteUserHeader(std::string& out);
void WriteUserMember(std::string& out, atom* member);
void WriteAtomRecord(std::string& out, atom* a);
void WriteUserProp(std::string& out, const atom* a, const Prop* p);

// The backup of a user-names file that could not be read: "" when none is
// needed or it has been made (then LastUserBackup names it).
extern std::string pendingUserBackup;
extern std::string lastUserBackup;

// Copies the file at path aside as path + ".bak" (or with a time stamp when
// that name holds other bytes), never overwriting another backup. Returns
// the copy's path, "" on failure (errNum then tells why).
std::string BackUpUserFile(const std::string& path, int& errNum);

// Message numbers of the user-names file beyond the common table: the backup
// made of an unreadable file (class information, argument the copy's path).
constexpr int kMsgUserFileBackup = GenMsg::GMuserFileBackup;
// Records left out: a name whose group is not a group, or a link entry
// (class exclamation, argument the file and its lines).
constexpr int kMsgUserRecordDamaged = GenMsg::GMuserRecordDamaged;
// Texts cut to the lengths of the new-names window (class exclamation,
// argument how many: "3 texts").
constexpr int kMsgUserTextCut = GenMsg::GMuserTextCut;
// Another run of the program saved the file with changes this save cannot
// keep: that file was kept aside (class exclamation, argument the copy's path).
constexpr int kMsgUserFileMerged = GenMsg::GMuserFileMerged;

}  // namespace DataBase
