// The three parties around a rich-text pane, seen from the core:
//  - RichTextBox: the pane that shows an RTF document (platform/ implements it);
//  - RichTextEvents: what the pane reports back to the builder feeding it
//    (TextDisplay implements it);
//  - LinkOwner: the window that owns the pane and follows its links.
// The core holds plain non-owning pointers. A pane serves one builder at a
// time: when it is destroyed, or another builder binds it, it tells the
// builder it served through BoxLost; a builder that goes first unbinds itself.
#pragma once

#include <cstdint>
#include <string>

class RichTextBox;

class LinkOwner {
public:
    virtual ~LinkOwner() = default;
    // Code 0 with a link number as decimal text: follow that link. Windows
    // accept every code and ignore those they do not handle.
    virtual void Notify(int16_t code, const std::string& text) = 0;
};

class RichTextEvents {
public:
    virtual ~RichTextEvents() = default;
    // True while links react to the mouse (hand pointer, clicks).
    virtual bool LinksLive() const = 0;
    // The user clicked a character of a link carrying `number`.
    virtual void LinkClicked(const std::string& number) = 0;
    // The pane is destroyed or serves another builder now; drop every
    // pointer to it.
    virtual void BoxLost(RichTextBox* box) = 0;
};

class RichTextBox {
public:
    virtual ~RichTextBox() = default;
    // Replaces the pane's content by the RTF document (cp1252 bytes).
    virtual void ShowRtf(const std::string& rtf) = 0;
    // New height and width in twips; 0 keeps that dimension.
    virtual void Resize(double heightTwips, double widthTwips) = 0;
    // The pane's tooltip (cp1252).
    virtual void SetToolTipText(const std::string& text) = 0;
    // Where the pane reports hovers and clicks; null unbinds. A builder
    // bound before is told BoxLost when another one takes its place.
    virtual void BindEvents(RichTextEvents* events) = 0;
};
