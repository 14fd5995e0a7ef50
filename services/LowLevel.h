// Unit and colour helpers, the character-width tables, the documents folder,
// the shell and help entry points of the model, and the page arithmetic of
// printing. Standard library only: the Qt side lives in platform/.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Errors.h"
#include "Services.h"

namespace LowLevel {

// --- Units -------------------------------------------------------------------
// Lengths on screen and paper are twips: 56.7 a millimetre, 15 a pixel.
constexpr double kTwipsPerMm = 56.7;
constexpr double kTwipsPerPixel = 15.0;
constexpr double kTwipsPerInch = 1440.0;

// mm x 56.7 rounded to the nearest integer, halves to the even one
// (15 mm -> 850, 49 mm -> 2778, 20 mm -> 1134).
int MmToTwips(double mm);
double TwipsToMm(int twips);
double TwipsToPixels(double v);
double PixelsToTwips(double v);

// --- Colours -----------------------------------------------------------------
// Colours are 32-bit values with red in the low byte, then green, then blue.
struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};
Rgb SplitRGB(int32_t colour);
bool SameRGB(const Rgb& a, const Rgb& b);

// True when a sorts after b comparing character codes (bytes as unsigned).
bool StrGreater(const std::string& a, const std::string& b);

// --- Character widths ----------------------------------------------------------
// Pixel width of every cp1252 character: in the font of the main form, in
// Arial 9 points and in Arial 9 points bold. Word wrapping and dot leaders
// read them. Measuring loads two fonts and every glyph's metrics, which the
// first frame does not need: start-up names the measurer (platform
// MeasureCharWidths), and a reader calls EnsureCharWidths first, which runs
// it once. Zero until measured.
using CharWidthTable = std::array<int, 256>;
extern CharWidthTable charWidthForm;
extern CharWidthTable charWidthArial;
extern CharWidthTable charWidthArialBold;

// The measurer to run on the next EnsureCharWidths (empty: none, and the
// tables stay as they are).
void SetCharWidthMeasurer(std::function<void()> measure);
// Runs the measurer named last, once; afterwards does nothing.
void EnsureCharWidths();

// Width of a text in one of the tables (sum of its characters).
int TextWidth(const CharWidthTable& table, const std::string& text);

// --- Folders -------------------------------------------------------------------
// The temporary folder, ending in "/" (the log's folder).
using Errors::GetTempDir;

// The user's documents folder (no trailing "/"): $XDG_DOCUMENTS_DIR, else the
// XDG_DOCUMENTS_DIR line of user-dirs.dirs, else ~/Documents; created when
// missing. There is no documents folder shared by all users on this desktop:
// common != 0 gives the same folder. Returns false (path unchanged) when no
// home folder is known or the folder cannot be created. The path is the
// system's (UTF-8); DocumentsFolder gives it as a program path.
bool GetDocDir(int common, std::string& path);

// GetDocDir's folder as a program path (cp1252).
bool DesktopDocumentsFolder(std::string& folder);
// The one answer to where the user's documents folder is: the user-names
// file lies there, and the list dialogs (on a first run) and the export
// dialog start there. DesktopDocumentsFolder, unless a test points it at a
// folder of its own. False when there is none.
extern std::function<bool(std::string&)> DocumentsFolder;
// DocumentsFolder's answer, "" when there is none.
std::string DocumentsFolderOrEmpty();

// --- Shell --------------------------------------------------------------------
enum class ShellTarget { Refused, Web, Mail };
// What a target is: an http or https address, a mailto address whose
// parameters only fill in the mail (subject, body, cc, bcc, to: never one
// that attaches a file), or refused: anything else, local files by any
// spelling (a path, a file: address, a relative or ".." path) included, and
// texts with blanks or control characters.
//   ClassifyShellTarget("mailto:a@b.org?subject=Hi")           -> Mail
//   ClassifyShellTarget("mailto:a@b.org?attach=/etc/passwd")   -> Refused
ShellTarget ClassifyShellTarget(const std::string& target);
// Opens a web or mail address through the shell service, with the busy
// cursor; false when refused or not opened.
bool ShellOpen(const std::string& target);
// ShellOpen for a link the user clicked, wherever it stands (a link entry of
// the database, the about and feedback windows, a help page): when the
// desktop has no program for a web or mail address, the user is told so
// with the address to copy. address: what to show, by default the part of
// the target worth copying ("a@b.org" of "mailto:a@b.org?subject=x", a web
// address whole). A refused target shows nothing (only a tampered file
// gives one) and goes to the log. False when not opened.
bool ShellOpenOrShow(const std::string& target, const std::string& address = {});

// --- Help ---------------------------------------------------------------------
// First and last help mark of the description headings.
constexpr int kFirstHelpMark = 40000;
constexpr int kLastHelpMark = 40023;
// The help topic of a description heading; an unknown id asserts
// "ShowDescrHelp " & id and gives "".
std::string DescrHelpTopic(long id);
void ShowHelpTopic(const std::string& name);
void ShowDescrHelp(long id);

// --- Drop-down height ------------------------------------------------------------
// Number of entries a combo box's drop-down shows: 2 item heights when it is
// empty, all entries when there are fewer than 20, otherwise 22.
int ComboVisibleItems(int count);

// --- Printing -----------------------------------------------------------------
// What a printer reports about its page, in device units.
struct DeviceCaps {
    double physicalWidth = 0, physicalHeight = 0;    // whole sheet
    double physicalOffsetX = 0, physicalOffsetY = 0;  // start of the printable area
    double dpiX = 0, dpiY = 0;
};

// The page in twips. Rectangles are relative to the printable area.
struct PageGeometry {
    double pageWidth = 0, pageHeight = 0;
    int offsetX = 0, offsetY = 0;
    double lineWidth = 0, pageTextHeight = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // where the text goes
};

// Fails with BadResolution for a resolution that is not positive and with
// MarginsTooLarge when the margins leave no width or height for text.
Services::PrintStatus ComputePageGeometry(const DeviceCaps& caps, const Services::PageMargins& mm,
                                          PageGeometry& out);

// One laid-out line: its top and bottom in document units.
struct LineExtent {
    double top = 0, bottom = 0;
};
// The lines [firstLine, endLine) of one page, and the document band it shows.
struct PageRange {
    std::size_t firstLine = 0, endLine = 0;
    double top = 0, bottom = 0;
};

// Splits lines (sorted by top) into pages of at most pageHeight. No lines
// give one empty page. A line that does not fit on an empty page fails with
// NoProgress (the job would never end); so does a page height that is not
// positive.
Services::PrintStatus PaginateLines(const std::vector<LineExtent>& lines, double pageHeight,
                                    std::vector<PageRange>& pages);

}  // namespace LowLevel
