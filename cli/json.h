// A small JSON writer for the tool's --json output: objects, arrays,
// strings (UTF-8, escaped; malformed bytes become U+FFFD so that the output
// stays valid JSON), numbers in their shortest exact form, null.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvant::cli {

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  // The name of the next member of the open object.
  JsonWriter& key(std::string_view name);

  JsonWriter& value(std::string_view utf8);
  JsonWriter& value(const char* utf8) { return value(std::string_view(utf8)); }
  JsonWriter& value(const std::string& utf8) { return value(std::string_view(utf8)); }
  // The shortest text that reads back as the same float / double; a value
  // that is not finite is written as null.
  JsonWriter& value(float v);
  JsonWriter& value(double v);
  JsonWriter& value(int v);
  JsonWriter& value(bool v);
  JsonWriter& null();

  const std::string& str() const { return out_; }

 private:
  void separate();
  JsonWriter& open(char bracket);
  JsonWriter& close(char bracket);
  std::string out_;
  // One entry per open container: whether it already holds an element.
  std::vector<bool> filled_;
  bool afterKey_ = false;
};

// The JSON string literal of a UTF-8 text, quotes included.
std::string JsonString(std::string_view utf8);

// A member whose value may be missing (written as null).
template <class T>
void Member(JsonWriter& j, const char* name, const std::optional<T>& v) {
  j.key(name);
  if (v)
    j.value(*v);
  else
    j.null();
}

}  // namespace lorvant::cli
