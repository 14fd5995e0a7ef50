// The getting-started window: a short introduction in a rich-text pane, with
// a check box that decides whether it opens by itself at start-up.
#pragma once

#include <QPointer>
#include <memory>

#include "FormBase.h"
#include "FormControls.h"
#include "RichTextBox.h"

#include "RichTextPane.h"
class TextDisplay;

class ShortHelp : public FormBase, public LinkOwner {
    Q_OBJECT
public:
    ShortHelp();
    ~ShortHelp() override;

    // Link clicks of the sample link and broadcasts: nothing happens.
    void Notify(int code, const std::string& text) override {}
    void Notify(int16_t code, const std::string& text) override {}

    RichTextPane* Text() const { return text_; }
    CheckBox* ShowShortHelpBox() const { return check_; }
    CommandButton* DoClose() const { return close_; }
    TextDisplay* Display() const { return display_.get(); }

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    QPointer<RichTextPane> text_;
    QPointer<CheckBox> check_;
    QPointer<CommandButton> close_;
    std::unique_ptr<TextDisplay> display_;
};

// The introduction in the text language, written into td.
void BuildShortHelpText(TextDisplay& td);
