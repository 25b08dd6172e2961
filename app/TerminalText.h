// Text from outside (file names, arguments) made safe for a terminal line: no control
// character reaches the terminal and nothing breaks the line.
#pragma once

#include <string>
#include <string_view>

// `text` in single quotes. Control characters (C0, DEL and C1), and bytes that are not UTF-8,
// are written as \xHH; a backslash or a quote inside is preceded by a backslash. Printable
// UTF-8 stays as it is.
std::string Quoted(std::string_view text);

// True when `text` is UTF-8 throughout, with no control character.
bool PrintableUtf8(std::string_view text);
