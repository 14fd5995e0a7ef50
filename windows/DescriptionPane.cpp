#include "DescriptionPane.h"

#include "ChildForm.h"
#include "RichTextPane.h"
#include "TextDisplay.h"

DescriptionPane::DescriptionPane(TextDisplay* display, RichTextPane* pane, std::string name, LinkOwner* owner,
                                 bool withLinks)
    : TextPaneDisplay(display, pane), td_(display), pane_(pane), name_(std::move(name)), owner_(owner),
      withLinks_(withLinks) {}

void DescriptionPane::Render(const ResultSet& rs, Services::Progress* progress) {
    if (!td_) return;
    if (pane_ && td_->box() != pane_.data()) {
        const bool active = td_->active();
        td_->Init(name_, pane_.data(), owner_);
        td_->setWithLinks(withLinks_);
        td_->setActive(active);
    }
    TextPaneDisplay::Render(rs, progress);
}

void DescriptionPane::ApplySize(double heightTwips, double widthTwips, const ResultSetView& view) {
    QtResultDisplay::ApplySize(heightTwips, widthTwips, view);
}

DescriptionList::DescriptionList(LinkOwner& owner, RichTextPane* richPane, const std::string& name)
    : td(std::make_unique<TextDisplay>()) {
    td->Init(name, richPane, &owner);
    pane = std::make_unique<DescriptionPane>(td.get(), richPane, name, &owner, true);
}

DescriptionList::~DescriptionList() { Unbind(); }

TextBoxCaption::TextBoxCaption(ChildForm& form, TextBox* box) : form_(form), box_(box) {}

void TextBoxCaption::SetCaption(const std::string& caption) {
    if (box_) form_.SetTextQuietly(box_, caption);
}
