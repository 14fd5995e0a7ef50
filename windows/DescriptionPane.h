// A description shown in a window's rich-text pane. Several descriptions
// share one pane (a window's history keeps each entry's description with its
// own builder), and a pane serves one builder at a time: the binding takes
// the pane back for its builder whenever its list is shown again.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "ResultDisplay.h"
#include "ResultSet.h"
#include "ToolTip.h"
#include "ResultViews.h"

class ChildForm;
class LinkOwner;
class RichTextPane;
class TextBox;
class TextDisplay;

class DescriptionPane : public TextPaneDisplay {
public:
    // withLinks: whether the builder reports link clicks to the owner.
    DescriptionPane(TextDisplay* display, RichTextPane* pane, std::string name, LinkOwner* owner, bool withLinks);
    void Render(const ResultSet& rs, Services::Progress* progress) override;

protected:
    // The pane itself is sized, whichever builder it serves at the moment.
    void ApplySize(double heightTwips, double widthTwips, const ResultSetView& view) override;

private:
    TextDisplay* td_;
    QPointer<RichTextPane> pane_;
    std::string name_;
    LinkOwner* owner_;
    bool withLinks_;
};

// A description list with its own builder and binding; the list is bound
// by the caller (Init with the binding `pane`).
class DescriptionList : public ResultSet {
public:
    DescriptionList(LinkOwner& owner, RichTextPane* pane, const std::string& name);
    ~DescriptionList();
    std::unique_ptr<TextDisplay> td;
    std::unique_ptr<DescriptionPane> pane;
};

// A text box as the title label of a list: the title is written without
// raising the box's change handler.
class TextBoxCaption : public ResultLabel {
public:
    TextBoxCaption(ChildForm& form, TextBox* box);
    void SetCaption(const std::string& caption) override;

private:
    ChildForm& form_;
    QPointer<TextBox> box_;
};
