#pragma once
// The editor's help document, "Editor.hlp".
//
// Format (version 1). A text file of UTF-8 characters (only ASCII is written), lines ending in LF:
//
//   line 1        "QUILLMOSS-HELP 1": the format's name and version.
//   "@topic N T"  starts topic number N (decimal, 0..9999, unique in the file) titled T (the rest of
//                 the line after the single space that follows N). A marker line begins with "@topic "
//                 in its first column.
//   body          every line after a marker up to the next marker or the end of the file: a fragment
//                 of simple HTML for a rich-text view (h2, h3, p, ul, ol, li, b, i, code, br, table,
//                 tr, th, td; entities &amp; &lt; &gt; &quot; &times; &minus;). A link to another topic
//                 is <a href="topic:N">text</a>.
//   other lines   before the first marker (after line 1) are comments and are ignored.
//
// Topic 0 is the table of contents ("Help, Contents" shows it); topic 1 is "Getting Started" ("Help,
// Getting Started" shows it). Topics follow in increasing number.

#include <string>

namespace qm::gamegen {

std::string helpDocument();

} // namespace qm::gamegen
