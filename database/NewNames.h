// The names the user adds to the database: each one three atoms (a name, a
// group holding it as its only variant, and the group's origin entry), linked
// by the properties names, groups and origin entries of the database carry,
// and a member of seUserNames. The new-names window edits them through here;
// the user-names file (UserFile.h) keeps them from one run to the next.
//
// The internal names come from the key of the text: "Anna Maria" has the key
// AnnaMaria and the atoms gnAnnaMariaUser, orAnnaMariaUser, naAnnaMariaUser.
#pragma once

#include <array>
#include <string>
#include <vector>

class atom;

namespace NewNames {

// The longest name (the lookup of a typed name cuts there) and the longest
// meaning or information text.
constexpr std::size_t kMaxName = 35;
constexpr std::size_t kMaxInfo = 1000;

// What the user enters for one name.
struct Entry {
    std::string text;
    enum class Gender { None, Male, Female } gender = Gender::None;
    atom* origLang = nullptr;                 // null: none
    std::string german;                       // meaning or translation
    std::array<std::string, 2> origInfo;      // information about the origin
    std::array<atom*, 3> useLangs{};          // languages of use; null: none
};

// A text as it is stored: double quotes become apostrophes, CR, LF and TAB
// blanks, and blanks at both ends go. Clean(" Jo\"\"hn\t") gives "Jo''hn".
std::string Clean(const std::string& text);
// A text cut to at most max characters, each one byte of code page 1252
// (bytes that would make a UTF-8 sequence elsewhere are characters of their
// own here). Cut("Ren\xC3\xA9", 4) gives "Ren\xC3".
std::string Cut(const std::string& text, std::size_t max);
// Whether a text holds at least one letter (only such texts become names).
bool HasLetter(const std::string& text);
// The key of a text: the identifier of its cleaned text, cut to kMaxName.
std::string Key(const std::string& text);

// The user name of the text's key, or null. A name whose internal name
// comes from a longer text (its text cut when the file was read) is found
// by its text's key.
atom* Find(const std::string& text);
// Whether a text can be created (a letter, and no user name of its key yet).
bool CanCreate(const std::string& text);

// The first name of the database (not one of the user's) spelt as the text,
// without regard to case and accents; null when there is none.
atom* SameSpelling(const std::string& text);

// The user's names, in the order of seUserNames.
std::vector<atom*> All();

// Whether the database has room for the three atoms of another name.
bool HasRoom();

enum class Result { Done, NoRoom, NotCreatable, NotFound };

// Creates the name of entry (its texts cleaned and cut), completes the atoms,
// counts anew and marks the user's names changed. NoRoom and NotCreatable
// change nothing. created (optional) receives the name atom.
Result Create(const Entry& entry, atom** created = nullptr);
// Replaces the name of entry's key by one made anew from entry. The room is
// checked first, so a refused modify keeps the old name whole.
Result Modify(const Entry& entry);
// Deletes the user name of the text's key.
Result Delete(const std::string& text);

// What a user name holds, as the window shows it.
Entry Read(atom* name);

}  // namespace NewNames
