// A help document as the help viewer shows it: the headings and paragraphs of an HTML page, in
// order, as plain text. The viewer lays them out itself; links, pictures and styles are not kept.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct HelpBlock {
    std::wstring text;
    bool heading;
};

// The text of the page: h1 to h6 are headings; p, br, li, div, tr and the headings end a
// paragraph; the contents of head, script and style are skipped; other tags vanish; runs of
// white space are one space; the common character references (&amp; &lt; &gt; &quot; &nbsp;
// &laquo; &raquo; &mdash; &ndash; and numeric ones) are decoded.
std::vector<HelpBlock> ParseHelpDocument(const std::wstring& html);

// The device file a help reference names: "file:\Windows\AnswerMachine.htm#Main_Contents" is
// \Windows\AnswerMachine.htm; a bare path is itself.
std::wstring HelpDocumentPath(LPCWSTR reference);
