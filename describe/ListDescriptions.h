// The descriptions of all names and groups of a list, one after another, and
// the RTF documents made of a list: what the RTF export writes and what
// printing prints. Links inside these documents are coloured text only: the
// file or the sheet has nothing to click.
#pragma once

#include <cstdint>
#include <string>

#include "GenDescr.h"
#include "Services.h"

class ResultSet;

namespace ListDescriptions {

// Appends to out, for every line of list in order, the description of its
// atom (a name with its group, any other atom described as a group; no rule
// line between name and group) or, for a line without an atom, the line's
// own text; then two empty lines. progress (optional) gets maximum n and
// moves once per line.
void Describe(const ResultSet& list, ResultSet& out, GenDescr::DescrFlags flags, Services::Progress* progress);

// The RTF document of the descriptions of list's lines: with colour, the
// mark-up of the descriptions and their atoms in their kinds' colours;
// without, the plain descriptions.
std::string DescriptionsRtf(const ResultSet& list, bool colour, Services::Progress* progress);

// The RTF document of list's names, one a paragraph, each in its kind's
// colour when colour is set, followed by a tab and the reason when
// withReasons is set. A line without an atom shows its own text.
std::string ListRtf(const ResultSet& list, bool colour, bool withReasons);

// The whole export file of list in a format and scope (ExportText::Format,
// ExportText::Scope): text, CSV or RTF; names, names with reasons or descriptions.
std::string ExportContents(const ResultSet& list, int format, int scope, Services::Progress* progress);

}  // namespace ListDescriptions
