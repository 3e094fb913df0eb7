// quorin-sync's text in the code page its reader decodes it with. Its own
// lines are ASCII, but the system's messages come from FormatMessageA in the
// ANSI code page, while cmd and PowerShell 5.1 decode a console program's
// output in the console's output code page (OEM): "beschädigt" would
// arrive as "besch„digt". Windows builds only.
#pragma once

#include <string>

// `text` converted from one code page to another, through UTF-16; a
// character the target lacks becomes its best fit or "?". Unchanged when
// the two are the same or the text does not convert.
std::string InCodePage(const std::string& text, unsigned fromCodePage, unsigned toCodePage);

// The text as this process's console decodes it: from the ANSI code page to
// the console's output code page (unchanged without a console, whose
// readers take the ANSI one).
std::string ForConsole(const std::string& text);
