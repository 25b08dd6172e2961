// A single-byte Windows-1252 text of the records as UTF-8, for the reports that carry texts
// as values (the metrics' labels, the summary): without the spaces and NULs around it (as
// the processors pad their brand strings), each control character replaced by U+FFFD.
#pragma once

#include <string>
#include <string_view>

std::string TrimmedUtf8Of1252(std::string_view text);
