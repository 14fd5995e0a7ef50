// "Export": writes the list manager's current list to a file the user
// chooses, as plain text, CSV (comma or semicolon) or RTF (black or in the
// kinds' colours), with the names alone, with their reasons, or with their
// descriptions. The files are built by lists/ExportText and
// describe/ListDescriptions; this window asks, shows progress and reports.
#pragma once

#include <QPointer>
#include <array>
#include <string>

#include "ChildForm.h"
#include "WindowContracts.h"

class QGroupBox;
class QProgressBar;

class Export : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    Export();
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The export command (public for tutorials and tests).
    void DoExport_Click();
    // The chosen format and scope (0 when none is chosen, after an assertion).
    int Format() const;
    int Scope() const;
    bool Exporting() const { return exporting_; }

protected:
    void BuildControls() override;
    void Form_Load() override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();

    bool exporting_ = false;
    QPointer<QGroupBox> formatFrame_, whatFrame_;
    std::array<QPointer<OptionButton>, 5> formats_;
    std::array<QPointer<OptionButton>, 3> scopes_;
    QPointer<CommandButton> doExport_, showHelp_;
    QPointer<QProgressBar> progress_;
    // The folder the file dialog last chose in this run (the window lives as
    // long as the run); until then the documents folder, as the program's
    // own folder is no place for the user's files.
    std::string lastFolder_;
};
