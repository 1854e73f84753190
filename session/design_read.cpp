// Reading a design file: line by line against the table of keys, refusing
// the whole file at the first line it cannot take.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "session/design.h"
#include "session/design_fields.h"
#include "session/design_words.h"
#include "session/messages.h"
#include "text/catalogue.h"

namespace lorvant::design {

namespace {

std::string_view Trim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Reads the lines after the header; returns a refusal or nothing.
class Reader {
 public:
  explicit Reader(Language lang) : lang_(lang) {}
  std::optional<Refusal> line(int number, std::string_view text);
  std::optional<Refusal> end(int lastLine);
  Design design;

 private:
  Refusal refuse(int line, std::string reason) { return {line, std::move(reason)}; }
  Refusal refuse(int line, Text reason) { return refuse(line, say(lang_, reason)); }
  std::optional<Refusal> sectionLine(int number, std::string_view text);
  std::optional<Refusal> entryLine(int number, std::string_view text);
  std::optional<Refusal> header(int number, std::string_view key, std::string_view value);
  std::optional<Refusal> version(int number, std::string_view value);
  bool seen(const std::string& id) const { return std::find(seen_.begin(), seen_.end(), id) != seen_.end(); }

  Language lang_;
  std::optional<Section> section_;
  bool formatSeen_ = false, versionSeen_ = false;
  std::vector<std::string> seen_;  // "section/key" and "[section]"
};

std::optional<Refusal> Reader::header(int number, std::string_view key, std::string_view value) {
  if (key == "format") {
    if (value != kFormat) return refuse(number, say(lang_, Text::DesignForeignFormat) + std::string(value) + ")");
    formatSeen_ = true;
    return std::nullopt;
  }
  if (key == "version") return version(number, value);
  return refuse(number, say(lang_, Text::DesignUnknownEntry) + Quoted(key));
}

std::optional<Refusal> Reader::version(int number, std::string_view value) {
  if (!formatSeen_) return refuse(number, Text::DesignFormatBeforeVersion);
  if (value.empty() || value.size() > 6 || value.find_first_not_of("0123456789") != std::string_view::npos)
    return refuse(number, say(lang_, Text::DesignNoVersionNumber) + Quoted(value));
  const int v = std::stoi(std::string(value));
  if (v > kVersion)
    return refuse(number,
                  say(lang_, Text::DesignNewerVersion) + std::string(value) + say(lang_, Text::DesignNewerVersionEnd));
  if (v < 1) return refuse(number, say(lang_, Text::DesignUnknownVersion) + std::string(value));
  versionSeen_ = true;
  return std::nullopt;
}

std::optional<Refusal> Reader::line(int number, std::string_view text) {
  text = Trim(text);
  if (text.empty() || text[0] == ';' || text[0] == '#') return std::nullopt;
  if (!PrintableUtf8(text)) return refuse(number, Text::DesignControlCharacters);
  if (text.front() == '[') return sectionLine(number, text);
  if (!section_) return refuse(number, Text::DesignHeaderMissing);
  return entryLine(number, text);
}

std::optional<Refusal> Reader::sectionLine(int number, std::string_view text) {
  if (text.back() != ']') return refuse(number, Text::DesignBracketMissing);
  const std::string_view name = Trim(text.substr(1, text.size() - 2));
  const int s = IndexOf(kSectionNames, name);
  if (s < 0) return refuse(number, say(lang_, Text::DesignUnknownSection) + Quoted(name));
  if (!section_ && s != 0) return refuse(number, Text::DesignHeaderMissing);
  if (section_ && !versionSeen_) return refuse(number, Text::DesignVersionMissing);
  const std::string tag = "[" + std::string(name) + "]";
  if (seen(tag)) return refuse(number, say(lang_, Text::DesignSectionTwice) + tag);
  seen_.push_back(tag);
  section_ = static_cast<Section>(s);
  OpenSection(design, *section_);
  return std::nullopt;
}

std::optional<Refusal> Reader::entryLine(int number, std::string_view text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return refuse(number, Text::DesignEqualsMissing);
  const std::string_view key = Trim(text.substr(0, eq));
  const std::string_view value = Trim(text.substr(eq + 1));
  const std::string id = std::string(kSectionNames[static_cast<int>(*section_)]) + "/" + std::string(key);
  if (seen(id)) return refuse(number, say(lang_, Text::DesignEntryTwice) + Quoted(key));
  seen_.push_back(id);
  if (*section_ == Section::Design) return header(number, key, value);
  for (const Key& k : Keys()) {
    if (k.section != *section_ || key != k.name) continue;
    if (std::optional<std::string> why = k.check(value, lang_)) return refuse(number, Quoted(key) + ": " + *why);
    k.set(design, value);
    return std::nullopt;
  }
  return refuse(number, say(lang_, Text::DesignUnknownEntry) + Quoted(key));
}

std::optional<Refusal> Reader::end(int lastLine) {
  if (!formatSeen_) return refuse(lastLine, Text::DesignFormatMissing);
  if (!versionSeen_) return refuse(lastLine, Text::DesignVersionMissing);
  if (!seen("[main]")) return refuse(lastLine, Text::DesignMainMissing);
  // A hand-written value without a material is a typed one.
  if (seen("main/dielectric") && !seen("main/material")) design.main.material.clear();
  return std::nullopt;
}

// The file's lines to the reader, without their line ends; the first
// refusal, or nothing.
std::optional<Refusal> ReadLines(std::string_view text, Reader& reader) {
  int number = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view l = text.substr(pos, nl - pos);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    ++number;
    if (std::optional<Refusal> bad = reader.line(number, l)) return bad;
    pos = nl + 1;
  }
  return reader.end(std::max(number, 1));
}

}  // namespace

ReadResult Parse(std::string_view text, Language lang) {
  ReadResult r;
  if (text.size() > kMaxBytes) {
    r.refusal = {0, say(lang, Text::DesignTooLarge)};
    return r;
  }
  if (text.find('\0') != std::string_view::npos) {
    r.refusal = {0, say(lang, Text::DesignNotText)};
    return r;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Reader reader(lang);
  if (std::optional<Refusal> bad = ReadLines(text, reader)) {
    r.refusal = *bad;
    return r;
  }
  r.design = std::move(reader.design);
  return r;
}

std::string RefusalText(Language lang, const std::string& path, const Refusal& r) {
  std::string where = path;
  if (r.line > 0) where += say(lang, Text::DesignAtLine) + std::to_string(r.line);
  return say(lang, Text::DesignCannotOpen) + where + ": " + r.reason;
}

ReadResult ReadFile(const std::string& path, Language lang) {
  ReadResult r;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    r.refusal = {0, files::FileErrorCause(lang, errno)};
    return r;
  }
  std::string text;
  char buf[8192];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() <= kMaxBytes) text.append(buf, n);
  const bool failed = std::ferror(f);
  std::fclose(f);
  if (failed) {
    r.refusal = {0, files::FileErrorCause(lang, EIO)};
    return r;
  }
  return Parse(text, lang);
}

}  // namespace lorvant::design
