// The options window: tooltips and the "?" name-info links of two name
// windows, switched on and off. Saved options take effect at once and reach
// the settings store when the program closes.
#pragma once

#include <QPointer>

#include "FormBase.h"
#include "FormControls.h"

class OptionEntry : public FormBase {
    Q_OBJECT
public:
    OptionEntry();
    void Notify(int code, const std::string& text) override {}

    CheckBox* ShowToolTips() const { return toolTips_; }
    CheckBox* ShowAlphaInfoLinks() const { return alphaLinks_; }
    CheckBox* ShowSingleInfoLinks() const { return singleLinks_; }
    CommandButton* DoSave() const { return save_; }
    CommandButton* DoCancel() const { return cancel_; }
    CommandButton* ShowHelp() const { return help_; }

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    QPointer<CheckBox> toolTips_, alphaLinks_, singleLinks_;
    QPointer<CommandButton> save_, cancel_, help_;
};
