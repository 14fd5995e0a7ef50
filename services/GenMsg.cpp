#include "GenMsg.h"

#include <algorithm>

#include "Basic.h"
#include "Cp1252.h"
#include "Errors.h"
#include "FileOp.h"
#include "TextConstants.h"

namespace GenMsg {

std::vector<std::string> MsgTable;

namespace {

struct Row {
    int id;
    const char* tag;
    const char* english;
    std::string german;  // cp1252
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {0, "GMnothingFound", "'%0' or something similar could not be found in the database",
         "'%0' oder etwas Ähnliches konnte in der Datenbank nicht gefunden werden"_cp},
        {1, "GMtooManyRandom",
         "It is not possible to pick the names, because %0 more names are asked for than there are",
         "Auswählen ist nicht möglich, da %0 Namen mehr verlangt werden, als vorhanden sind"_cp},
        {2, "GMonlyPositive", "Only positive numbers (greater than 0) are allowed for this field",
         "Für dieses Eingabefeld sind nur positive Zahlen erlaubt"_cp},
        {3, "GMonlyNumbers", "Only numbers are allowed for this field",
         "Für dieses Eingabefeld sind nur Zahlen erlaubt"_cp},
        {4, "GMnotEmpty", "An input is required for this field",
         "Für dieses Eingabefeld ist eine Eingabe erforderlich"_cp},
        {7, "GMdone", "Processing is completed", "Die Verarbeitung ist abgeschlossen"_cp},
        {8, "GMrestart",
         "You have to leave the program and start it again before the changed options become active",
         "Sie müssen das Programm beenden und erneut starten, damit die soeben geänderten Optionen wirksam werden"_cp},
        {9, "GMtooBig", "The given number is too big; only numbers up to %0 are allowed",
         "Die eingegebene Zahl ist zu gross; erlaubt ist höchstens %0"_cp},
        {20, "GMdeviceUnavailable", "File %0<br>The device is unavailable",
         "Datei %0<br>Gerät steht nicht zur Verfügung"_cp},
        {21, "GMdiskNotReady", "File %0<br>The drive is not ready", "Datei %0<br>Das Laufwerk ist nicht bereit"_cp},
        {22, "GMinternalDiskError", "File %0<br>Internal error during disk operation",
         "Datei %0<br>Interner Fehler bei Datei-Operation"_cp},
        {23, "GMdiskFull", "File %0<br>The disk is full", "Datei %0<br>Das Laufwerk ist voll"_cp},
        {24, "GMpermissionDenied", "File %0<br>No permission, or write-protected",
         "Datei %0<br>Keine Berechtigung, oder Schreibschutz"_cp},
        {29, "GMotherDiskError", "File %0<br>Unknown error during disk operation",
         "Datei %0<br>Unbekannter Fehler bei Datei-Operation"_cp},
        {30, "GMfileNotFound", "File %0<br>not found", "Datei %0<br>nicht gefunden"_cp},
        {31, "GMlistLoadError", "The name list in file %0<br>could not be loaded",
         "Die Namenliste in Datei %0<br> konnte nicht geladen werden"_cp},
        {32, "GMlistSaveError", "The name list could not be saved to file %0<br>",
         "Die Namenliste konnte nicht in Datei %0<br>abgespeichert werden"_cp},
        {33, "GMstructError",
         "The file %0<br>either does not contain a Talvessin name list/database or its structure is damaged",
         "Die Datei %0<br>enthält entweder keine Orsabrine-Namenliste/Datenbank oder die Datei enthält einen Fehler in der Struktur"_cp},
        {34, "GMtooManyFav",
         "It is not possible to load this list as the list of favorites because it contains too many names.",
         "Das Laden dieser Liste als Favoritenliste ist nicht möglich, denn sie enthält zu viele Namen."_cp},
        {35, "GMfavFull",
         "The table of favorites is full: it holds %0 names, as many as a list of favorites can hold. Delete a "
         "favorite before you add another one.",
         "Die Favoritenliste ist voll: Sie enthält %0 Namen, so viele, wie eine Favoritenliste fassen "
         "kann. Entfernen Sie einen Favoriten, bevor Sie einen weiteren aufnehmen."_cp},
        {36, "GMtooManyExports",
         "For copyright reasons no more than 100 names may be exported in this way. If you are "
         "considering using the name database outside Talvessin for your own purposes, please contact the author.",
         "Aus Gründen des Copyright-Schutzes ist der Export von mehr als 100 Namen in dieser Art nicht erlaubt. "
         "Falls Sie eine Verwendung der Vornamen-Datenbank ausserhalb Orsabrine zu eigenen Zwecken im Auge "
         "haben, melden Sie sich bitte beim Hersteller."_cp},
        {100, "GMoverwriteFav",
         "<b>Overwrite</b> the current list of favorites with the names from the file? (You will <b>lose</b> "
         "the current list of favorites if you have not yet saved it to a file.)",
         "Momentane Favoritenliste <b>überschreiben</b> mit einer Liste aus einer Datei? (Falls Sie die "
         "momentane Favoritenliste nicht in einer Datei abgelegt haben, wird sie <b>verlorengehen</b>.)"_cp},
        {101, "GMendTutor",
         "It is not possible to execute this function while the tutorial is running. Do you want to stop the "
         "tutorial?",
         "Die Ausführung dieser Aktion ist während eines laufenden Tutorials nicht möglich. Wollen Sie das "
         "Tutorial abbrechen?"_cp},
        {102, "GMretryUserSave",
         "Your new names could not be saved to file %0<br>Perhaps you can correct the problem. Try to "
         "save again now?",
         "Das Speichern der eigenen Namen in Datei %0<br>ist fehlgeschlagen. Sie können ev. versuchen, die "
         "Ursache des Problems zu beheben. Nochmals versuchen zu speichern?"_cp},
        {103, "GMexportMany",
         "Exporting %0 names in the specified way might take a while and result in a big file. Do you want "
         "to proceed?",
         "Der Export von %0 Namen in diesem Format und mit diesem Umfang kann je nach Rechner länger dauern "
         "und ergibt grosse Dateien. Wollen Sie exportieren?"_cp},
        {104, "GMfavAutoSave",
         "Note: The active list of favorites is saved automatically. You only have to save it yourself to a "
         "file if you want to use the function 'Change...' to work with several lists of favorites.",
         "Hinweis: Die momentane Favoritenliste wird automatisch gespeichert. Sie müssen diese nur dann "
         "selbst in einer Datei ablegen, wenn Sie mit Hilfe von 'Wechseln...' mit mehreren Favoritenlisten "
         "arbeiten möchten."_cp},
        {105, "GMuserNames",
         "Note: If you like, you can use the function 'New Names...' in the menu 'Extras' to add new names to "
         "the database yourself",
         "Hinweis: Wenn Sie möchten, können Sie in Orsabrine nicht vorhandene Namen mit Hilfe der Funktion "
         "'Eigene Namen' im Menü 'Extras' selbst erfassen"_cp},
        {106, "GMuserAlready",
         "There is already at least one name with the identical spelling %0 in the database. Proceed anyway "
         "and create a separate new name?",
         "Es gibt bereits mindestens einen gleich geschriebenen Namen %0 in der Datenbank. Trotzdem einen "
         "zusätzlichen, eigenen Namen erzeugen?"_cp},
        {107, "GMuserFileBackup",
         "Your new names could not be read completely. The file has been kept unchanged as %0<br>Names that "
         "could not be read are missing until you restore them from that copy.",
         "Ihre eigenen Namen konnten nicht vollständig gelesen werden. Die Datei wurde unverändert aufbewahrt "
         "als %0<br>Namen, die nicht gelesen werden konnten, fehlen, bis Sie sie aus dieser Kopie "
         "wiederherstellen."_cp},
        {108, "GMuserRecordDamaged",
         "Your new names file %0<br>holds entries that the program does not take from it: a name whose group is "
         "not a group, or a link (links come only with the database). These entries have been left out; "
         "everything else was read.",
         "Die Datei Ihrer eigenen Namen %0<br>enthält Einträge, die das Programm nicht aus ihr übernimmt: einen "
         "Namen, dessen Gruppe keine Gruppe ist, oder einen Link (Links kommen nur mit der Datenbank). Diese "
         "Einträge wurden ausgelassen, alles andere wurde gelesen."_cp},
        {109, "GMquizEnded", "The current quiz round ended. (%0)", "Diese Quiz-Runde ist beendet. (%0)"_cp},
        {110, "GMuserNoRoom",
         "The database has no room for another new name. Delete new names you no longer need to make room.",
         "Die Datenbank hat keinen Platz für einen weiteren eigenen Namen. Löschen Sie eigene Namen, die Sie "
         "nicht mehr brauchen, um Platz zu schaffen."_cp},
        {111, "GMprintFailed", "Nothing could be printed: %0", "Es konnte nichts gedruckt werden: %0"_cp},
        {112, "GMnoProgramForAddress",
         "The address %0<br>cannot be opened: no program on this computer is set up for it. You can select it "
         "here and copy it into your mail or web program.",
         "Die Adresse %0<br>kann nicht geöffnet werden: Auf diesem Computer ist kein Programm dafür "
         "eingerichtet. Sie können sie hier markieren und in Ihr E-Mail- oder Webprogramm kopieren."_cp},
        {113, "GMscriptDamaged",
         "The file %0<br>holds lines that cannot be carried out; the place named is the first of them. Those "
         "lines have been skipped, or shown without the formatting that could not be shown.",
         "Die Datei %0<br>enthält Zeilen, die nicht ausgeführt werden können; die genannte Stelle ist die erste "
         "davon. Diese Zeilen wurden übersprungen oder ohne die Formatierung gezeigt, die sich nicht zeigen "
         "liess."_cp},
        {114, "GMuserTextCut",
         "Texts of your new names file that are longer than the window 'New Names' allows (35 characters for "
         "a name, 1,000 for any other text) have been shortened to that length: %0. Everything else was read.",
         "Texte der Datei Ihrer eigenen Namen, die länger sind, als das Fenster „Eigene Namen“ erlaubt "
         "(35 Zeichen für einen Namen, 1000 für jeden anderen Text), wurden auf diese Länge gekürzt: %0. Alles "
         "andere wurde gelesen."_cp},
        {115, "GMuserFileMerged",
         "Talvessin is running more than once, and another run has saved your new names meanwhile. Not all of "
         "its changes could be kept: your names as they are here have been saved, and the file as the other run "
         "saved it has been kept unchanged as %0",
         "Orsabrine läuft mehr als einmal, und ein anderer Programmlauf hat Ihre eigenen Namen inzwischen "
         "gespeichert. Nicht alle seine Änderungen konnten übernommen werden: Ihre Namen, wie sie hier sind, "
         "wurden gespeichert, und die Datei, wie der andere Programmlauf sie gespeichert hat, wurde unverändert "
         "aufbewahrt als %0"_cp},
        {116, "GMnotAFile",
         "File %0<br>This is not an ordinary file but a folder, a device or another special file",
         "Datei %0<br>Dies ist keine gewöhnliche Datei, sondern ein Ordner, ein Gerät oder eine andere "
         "Spezialdatei"_cp},
    };
    return rows;
}

const char* IconKey(int msgClass) {
    switch (msgClass) {
    case kCritical: return "Critical";
    case kExclamation: return "Exclamation";
    case kQuestion: return "Question";
    case kInformation: return "Info";
    default: return "";
    }
}

}  // namespace

std::string Entry(int msgId, bool english) {
    for (const Row& r : Rows())
        if (r.id == msgId) return std::string("<") + r.tag + ">" + (english ? std::string(r.english) : r.german);
    return {};
}

void InitMessages() {
    MsgTable.assign(kNumMessages, std::string());
    for (int i = 0; i < kNumMessages; ++i) MsgTable[static_cast<std::size_t>(i)] = Entry(i, TextConstants::textLanguage != 0);
}

std::vector<Services::MsgRun> ToRuns(const std::string& text, const std::string& arg, bool& found) {
    std::vector<Services::MsgRun> runs;
    found = false;
    bool bold = false;
    std::string pending;
    auto flush = [&] {
        if (!pending.empty()) runs.push_back({pending, bold, false});
        pending.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "<b>") == 0) {
            flush();
            bold = true;
            i += 3;
        } else if (text.compare(i, 4, "</b>") == 0) {
            flush();
            bold = false;
            i += 4;
        } else if (text.compare(i, 4, "<br>") == 0) {
            flush();
            runs.push_back({"", false, true});
            i += 4;
        } else if (!found && !arg.empty() && text.compare(i, 2, "%0") == 0) {
            flush();
            runs.push_back({arg, true, false});
            found = true;
            i += 2;
        } else {
            pending += text[i++];
        }
    }
    flush();
    return runs;
}

Composed Compose(const std::string& entry, int msgId, int msgClass, const std::string& arg, int errNum,
                 bool english) {
    Composed c;
    Services::Message& m = c.message;
    m.number = msgId;
    m.msgClass = msgClass;
    m.iconKey = IconKey(msgClass);
    if (m.iconKey.empty()) c.faults.push_back("Show msgClass");
    m.question = msgClass == kQuestion;
    m.arg = arg;
    m.errNum = errNum;
    std::string text = entry;
    if (!entry.empty() && entry[0] == '<') {
        auto close = entry.find('>');
        if (close != std::string::npos) {
            m.helpTag = entry.substr(1, close - 1);
            text = entry.substr(close + 1);
        }
    }
    if (errNum != 0) {
        text += (english ? " (error code " : " (Fehlercode ") + std::to_string(errNum) + ")";
        if (m.question) text += english ? " Try again?" : " Nochmals versuchen?";
    }
    bool found = false;
    m.runs = ToRuns(text, arg, found);
    if (!arg.empty()) {
        if (found) {
            auto pos = text.find("%0");
            text = text.substr(0, pos) + "<b>" + arg + "</b>" + text.substr(pos + 2);
        } else {
            c.faults.push_back("Replace pos");
        }
    }
    m.text = text;
    return c;
}

bool Show(int msgId, int msgClass, const std::string& arg, int errNum) {
    std::string entry;
    if (msgId >= 0 && static_cast<std::size_t>(msgId) < MsgTable.size()) entry = MsgTable[static_cast<std::size_t>(msgId)];
    else if (MsgTable.empty()) entry = Entry(msgId, TextConstants::textLanguage != 0);
    Composed c = Compose(entry, msgId, msgClass, arg, errNum, TextConstants::textLanguage != 0);
    for (const auto& fault : c.faults) Errors::Assert(false, fault);
    Errors::LogEntry("GenMsg", "Show", c.message.text);
    bool yes = Services::Messages().ShowMessage(c.message);
    return c.message.question && yes;
}

void ShowMsg(int msgId, int msgClass, const std::string& arg) { Show(msgId, msgClass, arg, 0); }

bool AskMsg(int msgId, const std::string& arg) { return Show(msgId, kQuestion, arg, 0); }

int DiskErrorMessage(int errNum, bool& canAsk) {
    canAsk = true;
    switch (errNum) {
    case FileOp::kErrDeviceIO: return GMinternalDiskError;
    case FileOp::kErrDiskFull: return GMdiskFull;
    case FileOp::kErrDeviceUnavailable: return GMdeviceUnavailable;
    case FileOp::kErrPermissionDenied:
    case FileOp::kErrPathAccess: return GMpermissionDenied;
    case FileOp::kErrDiskNotReady: return GMdiskNotReady;
    // Not asked, as an unknown error is not: trying the same place again
    // meets the same folder or device.
    case FileOp::kErrNotAFile: canAsk = false; return GMnotAFile;
    default: canAsk = false; return GMotherDiskError;
    }
}

void ShowDiskError(const std::string& arg, bool ask, bool& retry, int errNum) {
    bool canAsk = false;
    int msg = DiskErrorMessage(errNum, canAsk);
    if (ask && canAsk) retry = Show(msg, kQuestion, arg, errNum);
    else Show(msg, kCritical, arg, errNum);
}

int CheckNumberText(const std::string& text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return GMnotEmpty;
    std::size_t e = text.find_last_not_of(' ');
    std::string s = text.substr(b, e - b + 1);
    std::size_t i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return GMonlyNumbers;
    long long value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return GMonlyNumbers;
        if (value <= 100000) value = value * 10 + (s[i] - '0');  // enough to know it is too big
    }
    if (negative && value != 0) return GMonlyPositive;
    if (value > 32767) return GMtooBig;
    return -1;
}

bool CheckNumberField(const std::string& text) {
    int msg = CheckNumberText(text);
    if (msg < 0) return true;
    ShowMsg(msg, kExclamation, msg == GMtooBig ? "32767" : "");
    return false;
}

int NumberFieldValue(const std::string& text) {
    return std::clamp(Basic::CLng(Basic::Val(text)), 0, 32767);
}

}  // namespace GenMsg
