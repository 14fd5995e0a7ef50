// The program's messages: one numbered table in the current text language,
// composed into a message (icon, buttons, help topic, text with the caller's
// argument in bold) and shown through the message boxes of the services.
#pragma once

#include <string>
#include <vector>

#include "Services.h"

namespace GenMsg {

enum MsgId : int {
    GMnothingFound = 0,
    GMtooManyRandom = 1,
    GMonlyPositive = 2,
    GMonlyNumbers = 3,
    GMnotEmpty = 4,
    GMdone = 7,
    GMrestart = 8,
    GMtooBig = 9,
    GMdeviceUnavailable = 20,
    GMdiskNotReady = 21,
    GMinternalDiskError = 22,
    GMdiskFull = 23,
    GMpermissionDenied = 24,
    GMotherDiskError = 29,
    GMfileNotFound = 30,
    GMlistLoadError = 31,
    GMlistSaveError = 32,
    GMstructError = 33,
    GMtooManyFav = 34,
    GMfavFull = 35,
    GMtooManyExports = 36,
    GMoverwriteFav = 100,
    GMendTutor = 101,
    GMretryUserSave = 102,
    GMexportMany = 103,
    GMfavAutoSave = 104,
    GMuserNames = 105,
    GMuserAlready = 106,
    GMuserFileBackup = 107,
    GMuserRecordDamaged = 108,
    GMquizEnded = 109,
    GMuserNoRoom = 110,
    GMprintFailed = 111,
    GMnoProgramForAddress = 112,
    GMscriptDamaged = 113,
    GMuserTextCut = 114,
    GMuserFileMerged = 115,
    GMnotAFile = 116,
};

constexpr int kNumMessages = 117;

// Message classes.
constexpr int kCritical = 0, kExclamation = 1, kQuestion = 2, kInformation = 3;

// The entries ("<" tag ">" text) in the current text language, 0 to 116;
// numbers without a message hold "".
extern std::vector<std::string> MsgTable;
void InitMessages();
// The entry of a number in one language, "" for a number without a message.
std::string Entry(int msgId, bool english);

// What composing a message found wrong (the assertion texts to raise).
struct Composed {
    Services::Message message;
    std::vector<std::string> faults;  // "Show msgClass", "Replace pos"
};

// Composes a message from its table entry: the tag becomes the help topic;
// a non-zero errNum appends " (error code " errNum ")" (German "Fehlercode") and, for a question,
// the retry question of the text language; a non-empty arg takes the place of
// the first "%0", in bold and always as literal text. Pure: it reads nothing
// but its arguments.
Composed Compose(const std::string& entry, int msgId, int msgClass, const std::string& arg, int errNum,
                 bool english);

// The text's mark-up ("<b>", "</b>", "<br>") as runs, with arg (when not
// empty) as one bold literal run in place of the first "%0". found tells
// whether that placeholder was there.
std::vector<Services::MsgRun> ToRuns(const std::string& text, const std::string& arg, bool& found);

// Shows a message and waits for it to be closed: True for a question answered
// Yes. errNum 0 shows no error number.
bool Show(int msgId, int msgClass, const std::string& arg, int errNum = 0);
void ShowMsg(int msgId, int msgClass, const std::string& arg);
// Asks a question (class 2): True for Yes.
bool AskMsg(int msgId, const std::string& arg);

// The message of a failed file operation's error number, and whether it may
// be asked with the retry question (not for an unknown error, nor for what
// is no ordinary file).
int DiskErrorMessage(int errNum, bool& canAsk);
// Shows the message of the error number with the number; with ask True as the
// retry question, whose answer goes to retry. For an error that is not asked
// it is a plain message and retry stays as it was.
void ShowDiskError(const std::string& arg, bool ask, bool& retry, int errNum);

// The check of a numeric input field on its text: -1 when it holds a number
// from 0 to 32767 (blanks around it allowed), else the message to show:
// GMnotEmpty, GMonlyPositive (a negative number), GMonlyNumbers (not an
// optional sign and digits), GMtooBig (beyond 32767).
int CheckNumberText(const std::string& text);
// Shows the check's message (class 1) when the text fails; True when it passes.
bool CheckNumberField(const std::string& text);
// The number a numeric field's text stands for: its leading number, blanks
// and a sign allowed, kept within 0..32767 ("+4" and " 4" give 4, "-4" and
// "abc" give 0). Every reader of such a field reads it so, and it agrees
// with what CheckNumberText lets pass.
int NumberFieldValue(const std::string& text);

}  // namespace GenMsg
