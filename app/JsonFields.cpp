#include "app/JsonFields.h"

#include "engine/listings/CpuidDump.h"

void FieldList(tJsonWriter& w, const std::vector<tFieldValue>& fields) {
  constexpr auto kInline = tJsonWriter::tLayout::Inline;
  w.Key("fields").BeginArray();
  for (const tFieldValue& f : fields) {
    w.BeginObject(kInline).Key("leaf").Utf8Text(Hex8(f.Leaf)).Key("subleaf").Unsigned(f.SubLeaf);
    w.Key("register").Utf8Text(RegisterName(f.Register)).Key("bits").Utf8Text(FieldBits(f));
    w.Key("name").Utf8Text(FieldName(f)).Key("value").Unsigned(ShownValue(f));
    w.Key("meaning").Utf8Text(FieldMeaning(f));
    w.EndObject();
  }
  w.EndArray();
}
