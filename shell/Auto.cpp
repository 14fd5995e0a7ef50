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

// A control by name and index, or null.
QWidget* FindControl(FormBase* form, const std::string& name, int index) {
    form->Load();
    for (const FormBase::ControlEntry& c : form->Controls()) {
        if (c.name != name || !c.widget) continue;
        if (index != kNoIndex && c.index != index) continue;
        return c.widget;
    }
    return nullptr;
}

// SetValue without its assertion: what is wrong, "" when the value is set.
std::string ApplyValue(QWidget* control, const std::string& text) {
    if (auto* option = qobject_cast<OptionButton*>(control)) {
        const std::string value = Upper(text);
        if (value != "TRUE" && value != "FALSE") return "SetValue " + value;
        option->SetValue(value == "TRUE");
    } else if (auto* check = qobject_cast<CheckBox*>(control)) {
        const double value = Basic::Val(text);
        // 0 cleared, 1 ticked, 2 partly ticked; no other state exists.
        if (value != 0 && value != 1 && value != 2) return "SetValue " + text;
        check->SetValue(static_cast<int>(value));
    } else if (auto* box = qobject_cast<TextBox*>(control)) {
        box->SetText(text);
    } else if (auto* combo = qobject_cast<ComboBox*>(control)) {
        if (text.empty()) {
            combo->Clear();
            return {};
        }
        for (int i = 0; i < combo->ListCount(); ++i) {
            if (combo->List(i) == text) {
                combo->SetListIndex(i);
                return {};
            }
        }
        return "SetValue ComboBox " + text;
    } else {
        return "SetValue control type";
    }
    return {};
}

// The tokens of a line, its end included: the scanner is shared, and
// loading a window may scan lines of its own.
class Tokens {
public:
    explicit Tokens(const std::string& line) {
        Parser::ScanStart(line);
        int type = 0;
        std::string text;
        do {
            Next(type, text);
            tokens_.emplace_back(type, text);
        } while (type != Parser::kTokEnd);
    }
    // The next token; the end again and again once there.
    int Take(std::string& text) {
        const auto& [type, t] = tokens_[at_];
        text = t;
        if (at_ + 1 < tokens_.size()) ++at_;
        return type;
    }

private:
    std::vector<std::pair<int, std::string>> tokens_;
    std::size_t at_ = 0;
};

// The addressed control of "Window.Control(index)", after the ".". False
// for a line that cannot be read; a control the window lacks leaves control
// null with what is wrong, and the command goes on without it.
bool TakeControl(FormBase* form, Tokens& tokens, int& type, std::string& text, QWidget*& control,
                 std::string& problem) {
    if ((type = tokens.Take(text)) != Parser::kTokIdent) {
        problem = "ProcessLine identSym";
        return false;
    }
    const std::string name = text;
    int index = kNoIndex;
    if ((type = tokens.Take(text)) == Parser::kTokOpen) {
        if (tokens.Take(text) != Parser::kTokIdent) {
            problem = "ProcessLine index";
            return false;
        }
        index = Basic::CLng(Basic::Val(text));
        if (tokens.Take(text) != Parser::kTokClose) {
            problem = "ProcessLine index";
            return false;
        }
        type = tokens.Take(text);
    }
    control = FindControl(form, name, index);
    if (!control) problem = "GetControl " + form->Name() + "." + name;
    return true;
}

// Runs one command on the window (and control) it addresses.
std::string RunCommand(const std::string& command, FormBase* form, const std::string& windowName,
                       bool addressed, QWidget* control, Tokens& tokens) {
    std::string text;
    if (command == "SET") {
        if (tokens.Take(text) != Parser::kTokString) return "ProcessLine strSym";
        return ApplyValue(control, text);
    }
    if (command == "EXEC") {
        const int type = tokens.Take(text);
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
        if (!addressed) return "ProcessLine MARK " + windowName;
        QWidget* shape = FindControl(form, "MarkShape", kNoIndex);
        if (!shape) return "GetControl " + windowName + ".MarkShape";
        LowLevel::PlaceMarkShape(shape, control);
        markedForm = form;
        markedShape = shape;
    } else if (command == "FINISHDISPLAY") {
        BusyScope busy;
        form->Load();
        form->Notify(5, "");
    } else {
        return "ProcessLine cmd";
    }
    return {};
}

}  // namespace

std::string RunLine(const std::string& line) {
    // The whole line runs as the script: resolving the window may load it,
    // and its load handlers must meet no input guard either.
    ScriptScope script;
    Tokens tokens(line);
    std::string text;
    int type = tokens.Take(text);
    if (type == Parser::kTokEnd) return {};  // an empty line or a comment alone
    if (type != Parser::kTokIdent) return "ProcessLine identSym";
    const std::string windowName = text;
    // A name the table does not know, or one this build lacks.
    if (!IsKnownName(windowName) || !IsAvailable(windowName)) return "GetForm " + windowName;
    FormBase* form = GetForm(windowName);
    if (!form) return "GetForm " + windowName;

    QWidget* control = nullptr;
    bool addressed = false;
    std::string problem;  // a control the window lacks: the first thing wrong
    if ((type = tokens.Take(text)) == Parser::kTokPeriod) {
        if (!TakeControl(form, tokens, type, text, control, problem)) return problem;
        addressed = true;
    }
    if (type != Parser::kTokIdent) return "ProcessLine identSym";
    const std::string done = RunCommand(Upper(text), form, windowName, addressed, control, tokens);
    return problem.empty() ? done : problem;
}

void ProcessLine(const std::string& line) {
    const std::string problem = RunLine(line);
    if (!problem.empty()) Errors::Assert(false, problem);
}

QWidget* GetControl(FormBase* form, const std::string& name, int index) {
    if (!form) return nullptr;
    QWidget* control = FindControl(form, name, index);
    if (!control) Errors::Assert(false, "GetControl " + form->Name() + "." + name);
    return control;
}

void SetValue(QWidget* control, const std::string& text) {
    const std::string problem = ApplyValue(control, text);
    if (!problem.empty()) Errors::Assert(false, problem);
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
