// The about window (version, rights to the name database, the maker's
// addresses) and the feedback window (an invitation to report problems and
// wishes, with the maker's mail and feedback page). Both are modal, centred
// on the frame, and close with their button.
#pragma once

#include <QPointer>
#include <memory>

#include "FormBase.h"
#include "FormControls.h"
#include "RichTextBox.h"

#include "ShellKit.h"
#include <QGroupBox>
#include <QLabel>
#include "RichTextPane.h"
class TextDisplay;

// The maker's addresses (placeholders of the example domain).
namespace MakerAddress {
inline constexpr const char* kMail = "info@example.org";
inline constexpr const char* kWebsite = "https://www.example.org/quillmarsh/";
inline constexpr const char* kFeedbackMail = "feedback@example.org";
inline constexpr const char* kFeedbackPage = "https://www.example.org/quillmarsh/feedback";
}  // namespace MakerAddress

class About : public FormBase {
    Q_OBJECT
public:
    About();
    void Notify(int code, const std::string& text) override {}

    QLabel* Version() const { return version_; }
    LinkLabel* Mailto() const { return mailto_; }
    LinkLabel* Website() const { return website_; }
    CommandButton* DoClose() const { return close_; }

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    QPointer<QLabel> version_, copyright_;
    QPointer<LinkLabel> mailto_, website_;
    QPointer<CommandButton> close_;
};

class Feedback : public FormBase, public LinkOwner {
    Q_OBJECT
public:
    Feedback();
    ~Feedback() override;
    // Code 0: a link of the text was clicked; it is followed like any link.
    void Notify(int code, const std::string& text) override;
    void Notify(int16_t code, const std::string& text) override { Notify(static_cast<int>(code), text); }

    RichTextPane* Text() const { return text_; }
    TextDisplay* Display() const { return display_.get(); }
    LinkLabel* Mailto() const { return mailto_; }
    LinkLabel* Website() const { return website_; }
    CommandButton* DoCancel() const { return cancel_; }

protected:
    void BuildControls() override;
    void Form_Load() override;

private:
    QPointer<RichTextPane> text_;
    QPointer<QGroupBox> links_;
    QPointer<LinkLabel> mailto_, website_;
    QPointer<CommandButton> cancel_;
    std::unique_ptr<TextDisplay> display_;
};
