// The field table's fields of one processor in the JSON report.
#pragma once

#include <vector>

#include "app/JsonWriter.h"
#include "engine/decode/FieldDecoder.h"

// "fields": every field of every leaf and sub-leaf the processor describes, one object a line:
// leaf (8 hexadecimal digits), subleaf, register, bits ("16" or "31:24"), name, value (as it
// reads: a count stored less one plus one) and meaning.
void FieldList(tJsonWriter& w, const std::vector<tFieldValue>& fields);
