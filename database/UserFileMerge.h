// Two runs of one edition saving the user-names file: a save takes the
// file's lock and, when another run has saved the file since this run read
// or wrote it, keeps what that run changed and this one did not.
//
// Each name is judged as a whole: its records (its group's, its origin's and
// its own) as the writer writes them. Against what this run last knew of the
// file and of its own names:
//   changed here only          this run's version   (deleted here: stays deleted)
//   changed there only         the other run's      (added, modified or deleted there)
//   changed in both            this run's version, except that a name deleted
//                              here that the other run changed since stays;
//                              where both versions differ, the other run's
//                              file is kept aside and the user is told.
// A file that cannot be taken apart (a damaged record) is kept aside too;
// this run's names are saved. A missing file gets this run's names.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace DataBase {

// The user's names of the database or of a file: each name's records, by
// the name's internal name (compared without case, as the database does).
struct UserEntries {
    std::vector<std::string> order;                     // internal names, as seUserNames lists them
    std::unordered_map<std::string, std::string> text;  // upper-cased internal name -> records
    const std::string* Find(const std::string& name) const;
};

UserEntries UserEntriesOfDatabase();
// 0, the error number of a failed read, or kStructError for a file whose
// records cannot be told apart (a broken marker, records without the set's).
int UserEntriesOfFile(const std::string& path, UserEntries& out);

// Start-up, the file read (or found missing) under its lock: what this run
// knows of the file and of its names from now on.
void NoteUserFileRead(const std::string& path);

// The records of the file to write (all but the header), made under the
// file's lock from the database and the file as it is now.
struct MergedUserNames {
    std::string records;
    // The file holds changes that the records do not keep: it must be kept
    // aside before it is replaced.
    bool keepOther = false;
    UserEntries mine, written;
};
MergedUserNames MergeUserNames(const std::string& path);
// After the merged records were written: they are what this run knows now.
void NoteUserFileWritten(const std::string& path, MergedUserNames&& merged);

}  // namespace DataBase
