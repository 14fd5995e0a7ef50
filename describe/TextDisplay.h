// TextDisplay builds the RTF of one rich-text pane piece by piece, hands it to
// the pane and turns the pane's link clicks into Notify(0, number) for the
// owner window. The RTF it builds is also what the RTF export writes, so it is
// plain RTF a word processor opens as it is.
//
// A document is built as BeginText; per paragraph BeginPara, content, EndPara;
// EndText; then DisplayText (or GetStr). Begin/End pairs inside a paragraph
// are the caller's to nest; nothing checks their pairing.
//
// Links are coloured, underlined text followed by a hidden marker: white text
// of font size 0 reading "#" and the link number, closed by a size control
// word. The pane finds the links from those markers in the document.
//
// The colour table belongs to the object and only grows: a colour keeps its
// number for the object's life and every later document lists all colours
// used so far. It has no size limit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FlexString.h"  // CharWidths
#include "LowLevel.h"
#include "RichTextBox.h"

// What a link needs of an atom.
struct LinkTarget {
    std::string text;         // the atom's display text
    int32_t id = 0;           // its index in the atom table: the link number
    uint32_t colour = 0;      // the colour of its kind (red in the low byte)
    bool bold = false;        // groups are written bold
    bool shown = false;       // it has a description worth a link (more than one property)
};

// The "none" of the background colour argument of AddNumLink.
constexpr uint32_t kNoBackColour = 31999;

class TextDisplay : public RichTextEvents {
public:
    // What the builder takes from the rest of the program; start-up fills it
    // once (tests set their own). Every member may be left empty.
    struct Environment {
        // The atom of an internal name; unknown names give a target that is
        // not shown. Empty: every name is unknown.
        std::function<LinkTarget(const std::string& internalName)> findAtom;
        // True while user input is blocked (a click then does nothing).
        std::function<bool()> actionBlocked;
        // Pixel widths of Arial 9 and Arial 9 bold: the tables start-up
        // measures; null counts every character 0 pixels wide.
        const CharWidths* widthsNormal = &LowLevel::charWidthArial;
        const CharWidths* widthsBold = &LowLevel::charWidthArialBold;
    };
    static Environment& Env();

    static constexpr uint32_t kWhite = 0xFFFFFF;

    TextDisplay() = default;
    ~TextDisplay() override;
    TextDisplay(const TextDisplay&) = delete;
    TextDisplay& operator=(const TextDisplay&) = delete;

    // --- Set-up and properties --------------------------------------------------
    // Binds the pane's events (box and owner may be null: a builder for
    // export only). Text empty, colour table empty, tab position 49 mm, font
    // size 18 half-points, active, links on.
    void Init(const std::string& name, RichTextBox* box, LinkOwner* owner);
    const std::string& name() const { return name_; }
    // The pane, whether or not the display is active; null once it is gone.
    RichTextBox* box() const { return box_; }
    LinkOwner* owner() const { return owner_; }

    // An inactive display ignores the mouse and DisplayText does nothing; its
    // pane stays, so Resize and ToolTipText still reach it.
    bool active() const { return active_; }
    void setActive(bool on) { active_ = on; }
    bool withLinks() const { return withLinks_; }
    void setWithLinks(bool on) { withLinks_ = on; }
    // Off: a link is written as its coloured text alone, without underline
    // and hidden marker, for documents that leave the program (export files,
    // printouts), where a marker would be stray text. On after Init.
    bool linkMarkers() const { return linkMarkers_; }
    void setLinkMarkers(bool on) { linkMarkers_ = on; }

    void ToolTipText(const std::string& text);
    // The tab position Init gives: the width of a description's heading
    // column in the text language.
    static double HeadingColumnMm();
    void SetTabPos(double mm);
    double GetTabPos() const;
    int tabPosTwips() const { return tabPos_; }
    void SetFontSize(int halfPoints) { fontSize_ = halfPoints; }
    int GetFontSize() const { return fontSize_; }
    // Height and width in twips; 0 keeps that dimension.
    void Resize(double height, double width);
    // The RTF built so far; after EndText the whole document.
    const std::string& GetStr() const { return text_; }

    // --- Building -------------------------------------------------------------
    void BeginText();
    void BeginPara();
    void AddTab();
    // s (cp1252) escaped for RTF; in expand mode its width is counted.
    void AddStr(const std::string& s);
    void BeginColor(uint32_t colour);
    void EndColor();
    void BeginBackColor(uint32_t colour);
    void EndBackColor();
    void BeginUnderline();
    void EndUnderline();
    void BeginBold();
    void EndBold();
    // Expand mode: the text added until EndExpand is followed by dot leaders
    // up to about 4 pixels before the tab stop.
    void BeginExpand();
    void EndExpand();
    void AddLink(const LinkTarget& a);
    // A link: text coloured and underlined (blanks become non-breaking), then
    // the hidden marker with id. back is a background colour or kNoBackColour.
    void AddNumLink(const std::string& text, int32_t id, uint32_t colour, uint32_t back);
    // Renders the inline tags <b> </b> <br> <small> and <a>name</a> or
    // <a>name/label</a> (case-blind tags; the closing </a> in lower case).
    // With links False, or for an atom that is not shown, the link is bold
    // text without a link. An unknown tag is dropped: it asserts, or, when
    // unknown is given, is added to it (as written, without its brackets). A
    // "<" without ">" or an <a> without </a> goes out literally.
    void AddStrWithMarks(const std::string& s, bool links, std::vector<std::string>* unknown = nullptr);
    void EndPara();
    void EndText();
    // Hands the document to the pane when active.
    void DisplayText();

    // --- Colour table (read by tests and the export) ---------------------------
    // The RTF colour number of a colour, adding it when new (1-based; 0 is
    // the automatic colour).
    int ColourNumber(uint32_t colour);
    int colourCount() const { return static_cast<int>(colours_.size()); }
    // The dot leaders EndExpand would write now: the number of " ." pairs.
    int DotCount() const;

    // --- RichTextEvents: what the pane reports ---------------------------------
    bool LinksLive() const override { return active_ && withLinks_; }
    void LinkClicked(const std::string& number) override;
    void BoxLost(RichTextBox* box) override;

private:
    using Rgb = LowLevel::Rgb;
    const CharWidths* Widths(bool boldTable) const;
    void AddWidths(const std::string& s);
    std::string ColourTable() const;

    std::string name_;
    RichTextBox* box_ = nullptr;
    LinkOwner* owner_ = nullptr;
    std::string text_;
    std::size_t headerLength_ = 0;
    std::vector<Rgb> colours_;
    int tabPos_ = 2778;
    int fontSize_ = 18;
    bool active_ = true;
    int width_ = 0;
    bool bold_ = false;
    bool expand_ = false;
    bool withLinks_ = true;
    bool linkMarkers_ = true;
};
