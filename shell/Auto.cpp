#include "Auto.h"

#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

#include "Basic.h"
#include "Errors.h"
#include "FormBase.h"
#include "FormControls.h"
#include "Parser.h"
#include "QtLowLevel.h"
#include "Searches.h"

namespace Auto {

namespace {

QPointer<FormBase> markedForm;
QPointer<QWidget> markedShape;

// ASCII is enough: commands and option values are English words.
std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The next token that is not a comment.
void Next(int& type, std::string& text) {
    do {
        Parser::NextToken(type, text);
    } while (type == Parser::kTokComment);
}

// Sets scriptRunning for one line (restoring what it was).
class ScriptScope {
public:
    ScriptScope() : saved_(WinMan::scriptRunning) { WinMan::scriptRunning = true; }
    ~ScriptScope() { WinMan::scriptRunning = saved_; }
    ScriptScope(const ScriptScope&) = delete;
    ScriptScope& operator=(const ScriptScope&) = delete;

private:
    bool saved_;
};

class BusyScope {
public:
    BusyScope() { Services::HourglassOn(); }
    ~BusyScope() { Services::HourglassOff(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace

void ProcessLine(const std::string& line) {
    // The whole line runs as the script: resolving the window may load it,
    // and its load handlers must meet no input guard either.
    ScriptScope script;
    // The line is taken apart first: the scanner is shared, and loading a
    // window may scan lines of its own.
    Parser::ScanStart(line);
    std::vector<std::pair<int, std::string>> tokens;
    int type = 0;
    std::string text;
    do {
        Next(type, text);
        tokens.emplace_back(type, text);
    } while (type != Parser::kTokEnd);
    std::size_t at = 0;
    auto take = [&](int& t, std::string& s) {
        t = tokens[at].first;
        s = tokens[at].second;
        if (at + 1 < tokens.size()) ++at;
    };

    take(type, text);
    if (type == Parser::kTokEnd) return;  // an empty line or a comment alone
    if (type != Parser::kTokIdent) {
        Errors::Assert(false, "ProcessLine identSym");
        return;
    }
    const std::string windowName = text;
    FormBase* form = GetForm(windowName);
    if (!form) {
        // A name the table knows but this build lacks (the table asserted
        // for a name it does not know at all).
        if (IsKnownName(windowName)) Errors::Assert(false, "GetForm " + windowName);
        return;
    }

    take(type, text);
    QWidget* control = nullptr;
    bool addressed = false;
    if (type == Parser::kTokPeriod) {
        take(type, text);
        if (type != Parser::kTokIdent) {
            Errors::Assert(false, "ProcessLine identSym");
            return;
        }
        const std::string controlName = text;
        int index = kNoIndex;
        take(type, text);
        if (type == Parser::kTokOpen) {
            take(type, text);
            if (type != Parser::kTokIdent) {
                Errors::Assert(false, "ProcessLine index");
                return;
            }
            index = Basic::CLng(Basic::Val(text));
            take(type, text);
            if (type != Parser::kTokClose) {
                Errors::Assert(false, "ProcessLine index");
                return;
            }
            take(type, text);
        }
        addressed = true;
        control = GetControl(form, controlName, index);
    }
    if (type != Parser::kTokIdent) {
        Errors::Assert(false, "ProcessLine identSym");
        return;
    }
    const std::string command = Upper(text);

    if (command == "SET") {
        take(type, text);
        if (type != Parser::kTokString) {
            Errors::Assert(false, "ProcessLine strSym");
            return;
        }
        SetValue(control, text);
    } else if (command == "EXEC") {
        take(type, text);
        BusyScope busy;
        form->Load();
        form->Notify(3, type == Parser::kTokEnd ? std::string() : text);
    } else if (command == "SHOW") {
        BusyScope busy;
        WinMan::OpenForm(windowName);
    } else if (command == "HIDE") {
        if (form == markedForm) ClearMark();
        if (form->IsLoaded()) {
            form->Hide();
            form->Unload(UnloadMode::Code);
        }
    } else if (command == "MARK") {
        if (!addressed) {
            Errors::Assert(false, "ProcessLine MARK " + windowName);
            return;
        }
        QWidget* shape = GetControl(form, "MarkShape", kNoIndex);
        LowLevel::PlaceMarkShape(shape, control);
        markedForm = form;
        markedShape = shape;
    } else if (command == "FINISHDISPLAY") {
        BusyScope busy;
        form->Load();
        form->Notify(5, "");
    } else {
        Errors::Assert(false, "ProcessLine cmd");
    }
}

QWidget* GetControl(FormBase* form, const std::string& name, int index) {
    if (!form) return nullptr;
    form->Load();
    for (const FormBase::ControlEntry& c : form->Controls()) {
        if (c.name != name || !c.widget) continue;
        if (index != kNoIndex && c.index != index) continue;
        return c.widget;
    }
    Errors::Assert(false, "GetControl " + form->Name() + "." + name);
    return nullptr;
}

void SetValue(QWidget* control, const std::string& text) {
    if (auto* option = qobject_cast<OptionButton*>(control)) {
        const std::string value = Upper(text);
        if (value == "TRUE")
            option->SetValue(true);
        else if (value == "FALSE")
            option->SetValue(false);
        else
            Errors::Assert(false, "SetValue " + value);
    } else if (auto* check = qobject_cast<CheckBox*>(control)) {
        const double value = Basic::Val(text);
        // 0 cleared, 1 ticked, 2 partly ticked; no other state exists.
        if (value == 0 || value == 1 || value == 2)
            check->SetValue(static_cast<int>(value));
        else
            Errors::Assert(false, "SetValue " + text);
    } else if (auto* box = qobject_cast<TextBox*>(control)) {
        box->SetText(text);
    } else if (auto* combo = qobject_cast<ComboBox*>(control)) {
        if (text.empty()) {
            combo->Clear();
            return;
        }
        for (int i = 0; i < combo->ListCount(); ++i) {
            if (combo->List(i) == text) {
                combo->SetListIndex(i);
                return;
            }
        }
        Errors::Assert(false, "SetValue ComboBox " + text);
    } else {
        Errors::Assert(false, "SetValue control type");
    }
}

void ClearMark() {
    if (markedForm && markedShape) LowLevel::HideMarkShape(markedShape);
    markedForm = nullptr;
    markedShape = nullptr;
}

void ForgetMark() {
    markedForm = nullptr;
    markedShape = nullptr;
}

FormBase* MarkedForm() { return markedForm; }
QWidget* MarkedShape() { return markedShape; }

}  // namespace Auto
