// Drawing a list's lines into a rich-text document: the line prefixes, the
// two columns with dot leaders between them, and the inline mark-up as
// links, bold and coloured text. The Qt pane shows the result; the RTF
// export writes the same document.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "LineMarkup.h"
#include "Services.h"

class ResultSet;
class TextDisplay;

namespace ResultRender {

// The inline options a list's switches give (colours: the options table).
Markup::InlineOptions InlineOptionsOf(const ResultSet& rs, std::span<const uint32_t> colours);

// Draws runs into the current paragraph of td.
void AddRuns(TextDisplay& td, const std::vector<Markup::Run>& runs);

// Builds the whole document of rs in td (BeginText .. EndText). A given
// progress bar advances once per line. Nothing is displayed.
void BuildDocument(const ResultSet& rs, TextDisplay& td, Services::Progress* progress,
                   std::span<const uint32_t> colours);
// BuildDocument with the options colour table, then DisplayText.
void Render(const ResultSet& rs, TextDisplay& td, Services::Progress* progress);

}  // namespace ResultRender
