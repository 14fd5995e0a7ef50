// The script engine of the tutorials and the examples: one line of a script
// drives one window as a user would, by the window's name and its controls'
// names.
//
//   SingleName SHOW                      opens the name window
//   SingleName.CurName SET "Anna"        types into its name box
//   SingleName EXEC ShowName             runs its main command (Notify 3)
//   Lexi.Cond(1) SET "Number of letters" chooses in a combo box of an array
//   SingleName.CurName MARK              frames the box in red
//   Lang FINISHDISPLAY                   lets the window finish its display (Notify 5)
//   SingleName HIDE                      closes it
//
// While a line runs, the input guard lets every command pass (scriptRunning),
// so the handlers a line sets off run as the user's own would. A line that
// cannot be understood does what it still can and says what was wrong.
#pragma once

#include <string>

#include "WinMan.h"

class FormBase;
class QWidget;

namespace Auto {

// "No index": the first control of the name, in an array or not.
constexpr int kNoIndex = 31999;

// Runs one script line; what cannot be understood or done raises an
// assertion.
void ProcessLine(const std::string& line);
// Runs one script line as ProcessLine does and tells what was wrong with it
// (the assertion's text, "GetControl Lexi.Bogus"), "" when nothing was, for
// the script files, which report their bad lines themselves.
std::string RunLine(const std::string& line);

// The control of a window by name and index (kNoIndex: the first of the
// name). The window is loaded when needed, as a reference to one of its
// controls loads it. Null, with the assertion "GetControl Window.Name", when
// there is none.
QWidget* GetControl(FormBase* form, const std::string& name, int index);

// Sets a control from a text as the user would, raising its handlers:
// option button "true" / "false" (any case); check box "0", "1" or "2"
// (partly ticked); text box any text; combo box the entry of that text
// ("" empties the box).
void SetValue(QWidget* control, const std::string& text);

// Removes the red frame and forgets it.
void ClearMark();
// Forgets the frame without touching it (its window is gone).
void ForgetMark();
// The window whose control is framed (null for none).
FormBase* MarkedForm();
QWidget* MarkedShape();

}  // namespace Auto
