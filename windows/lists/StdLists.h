// The Predefined Lists window ("StdLists"): the whole database as a list:
// all names, all female or male names, all groups, all female or male
// groups, one button each with the number of such entries beside it (counted
// when the window loads). The list goes to the list manager like a search's.
#pragma once

#include <QPointer>
#include <array>
#include <string>

#include "ChildForm.h"
#include "WindowContracts.h"

class QGroupBox;
class QLabel;

class StdLists : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    StdLists();
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // The six lists, in the order of their buttons.
    enum List { kAllNames, kAllFemale, kAllMale, kAllGenNames, kAllGenFemale, kAllGenMale, kNumLists };
    // The click of a list button (public for the tutorial and the tests).
    void List_Click(List which);
    // Every atom of kindA or kindB (31999: none) as a new list with title.
    void MakeStdList(const std::string& title, int kindA, int kindB);

protected:
    void BuildControls() override;
    void Form_Load() override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();

    QPointer<QGroupBox> namesFrame_, groupFrame_;
    std::array<QPointer<CommandButton>, kNumLists> buttons_;
    std::array<QPointer<QLabel>, kNumLists> counters_;
    QPointer<CommandButton> showHelp_;
};
