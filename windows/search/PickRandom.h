// The Random Names window ("PickRandom"): draws a number of distinct entries
// at random from the names, the groups (either by gender) or the current
// list, and hands them, numbered in the order drawn, to the list manager.
// It may be closed while input is blocked and keeps its designed size.
#pragma once

#include <QPointer>
#include <array>
#include <string>

#include "ChildForm.h"
#include "NumberBoxes.h"
#include "RandomPick.h"
#include "WindowContracts.h"

class QGroupBox;
class QLabel;

class PickRandom : public ChildForm, public ChildWindow {
    Q_OBJECT
public:
    PickRandom();
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;

    // Handlers, public for the tutorial and the tests.
    void Option_Click(RandomPick::Base base);
    // The check of PickNum as it loses the focus; True when it holds a
    // number from 0 on (else its message was shown).
    bool PickNum_LostFocus();
    void Pick_Click();

protected:
    void BuildControls() override;
    void Form_Load() override;
    void OnNotify(int code, const std::string& text) override;

private:
    void SetEnglishTexts();
    // The number check of PickNum: its message, and "1" in the box, when
    // the text is refused.
    bool CheckPickNum();
    void RefreshCurrentCount();
    std::string CaptionText(RandomPick::Base base) const;
    OptionButton* Option(RandomPick::Base base) const;
    RandomPick::Base Chosen() const;

    static constexpr int kNumBases = 7;
    std::array<QPointer<OptionButton>, kNumBases> options_;
    QPointer<QGroupBox> baseFrame_;
    QPointer<QLabel> totalNumLabel_, pickNumLabel_;
    QPointer<TextBox> totalNum_, pickNum_;
    QPointer<CommandButton> pick_, showHelp_;
    int32_t currentCount_ = 0;
    std::string baseCaption_;
    NumberBoxes numbers_;
};
