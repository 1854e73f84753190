// Writes a program's manual page, and optionally its bash completion, from
// the program's own --help output, so that neither can say something else
// than the program does.
//
//   lorvant_manpage --program build/bin/lorvant-calc --out lorvant-calc.1
//                   --summary "batch calculations ..." --version 1.2.3
//                   --date 2026-01-31 [--see-also "lorvant(1)"]
//                   [--copyright TEXT] [--completion lorvant-calc.bash]
//
// The help texts follow one layout, which is all this reads: "Usage:" lines;
// then blocks separated by blank lines. A block whose first line ends with
// ":" and whose next line is indented is a list under that heading; in a
// list, a line indented by two blanks starts an item (a term, then after two
// or more blanks its text) and deeper lines continue the item's text. Items
// under an "Example" heading are command lines, kept as they are. Any other
// block is a paragraph. When the help has a "Commands:" list, each command's
// own "<command> --help" becomes a subsection of the page.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Item {
  std::string term;
  std::string text;
};

struct Block {
  enum Kind { Paragraph, List, Example } kind = Paragraph;
  std::string heading;             // List and Example
  std::string text;                // Paragraph
  std::vector<Item> items;         // List
  std::vector<std::string> lines;  // Example, indentation kept
};

struct Help {
  std::vector<std::string> usage;  // without "Usage: "
  std::vector<Block> blocks;
};

std::string Trim(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::size_t Indent(const std::string& s) {
  const std::size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? s.size() : i;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

void Append(std::string& text, const std::string& more) {
  if (more.empty()) return;
  if (!text.empty()) text += ' ';
  text += more;
}

Help Parse(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  Help help;
  std::size_t i = 0;
  if (lines.empty() || !StartsWith(lines[0], "Usage: "))
    throw std::runtime_error("the help does not start with Usage:");
  help.usage.push_back(lines[0].substr(7));
  for (i = 1; i < lines.size() && !lines[i].empty() && lines[i][0] == ' '; ++i) help.usage.push_back(Trim(lines[i]));

  while (i < lines.size()) {
    if (lines[i].empty()) {
      ++i;
      continue;
    }
    std::vector<std::string> block;
    for (; i < lines.size() && !lines[i].empty(); ++i) block.push_back(lines[i]);
    const bool headed = block[0][0] != ' ' && block[0].back() == ':' && block.size() > 1 && block[1][0] == ' ';
    const bool items = block[0][0] == ' ';  // a list going on after a blank line
    if (!headed && !items) {
      Block p;
      for (const std::string& l : block) Append(p.text, Trim(l));
      help.blocks.push_back(p);
      continue;
    }
    Block list;
    list.kind = Block::List;
    std::size_t first = 0;
    if (headed) {
      list.heading = block[0].substr(0, block[0].size() - 1);
      first = 1;
      if (StartsWith(list.heading, "Example")) list.kind = Block::Example;
    } else if (!help.blocks.empty() && help.blocks.back().kind == Block::List) {
      list.heading = help.blocks.back().heading;
    }
    for (std::size_t k = first; k < block.size(); ++k) {
      const std::string& l = block[k];
      if (list.kind == Block::Example) {
        list.lines.push_back(l.substr(std::min<std::size_t>(2, Indent(l))));
        continue;
      }
      if (Indent(l) == 2) {
        Item item;
        const std::string rest = l.substr(2);
        const std::size_t gap = rest.find("  ");
        item.term = Trim(rest.substr(0, gap));
        if (gap != std::string::npos) item.text = Trim(rest.substr(gap));
        list.items.push_back(item);
      } else if (Indent(l) > 2 && !list.items.empty()) {
        Append(list.items.back().text, Trim(l));
      } else {
        throw std::runtime_error("unexpected line in the list '" + list.heading + "': " + l);
      }
    }
    help.blocks.push_back(list);
  }
  return help;
}

// ---- running the program --------------------------------------------------

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string HelpOf(const std::string& program, const std::vector<std::string>& args) {
  std::string command = Quoted(program);
  for (const std::string& a : args) command += ' ' + Quoted(a);
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  if (status != 0 || out.empty()) throw std::runtime_error(command + " failed");
  return out;
}

// ---- roff -------------------------------------------------------------------

// Text for a roff line: backslashes are escaped, and so is every "-" of a
// word that starts with one (an option, a negative number) so that it can be
// copied from the page; with `commandLine` every "-" is (program names,
// example commands). Characters beyond ASCII become \[uXXXX].
std::string Roff(const std::string& s, bool commandLine = false) {
  std::string r;
  bool option = false;  // in a word that started with "-"
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const bool wordStart =
        i == 0 || s[i - 1] == ' ' || s[i - 1] == '(' || s[i - 1] == '[' || s[i - 1] == '|' || s[i - 1] == '"';
    if (wordStart) option = c == '-';
    if (c == '\\') {
      r += "\\e";
    } else if (c == '-' && (option || commandLine)) {
      r += "\\-";
    } else if (c >= 0x80) {
      // One UTF-8 sequence.
      unsigned code = 0;
      int more = 0;
      if ((c & 0xE0) == 0xC0)
        code = c & 0x1F, more = 1;
      else if ((c & 0xF0) == 0xE0)
        code = c & 0x0F, more = 2;
      else
        code = c & 0x07, more = 3;
      for (; more > 0 && i + 1 < s.size(); --more) code = (code << 6) | (static_cast<unsigned char>(s[++i]) & 0x3F);
      char hex[16];
      std::snprintf(hex, sizeof hex, "\\[u%04X]", code);
      r += hex;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

// A text line; one that would start with a control character is guarded.
std::string Line(const std::string& s, bool commandLine = false) {
  const std::string r = Roff(s, commandLine);
  return (!r.empty() && (r[0] == '.' || r[0] == '\'')) ? "\\&" + r : r;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// "--name VALUE" → option in bold, value in italics; other terms in bold.
std::string Term(const std::string& term) {
  if (!StartsWith(term, "-")) return "\\fB" + Roff(term) + "\\fR";
  const std::size_t space = term.find(' ');
  if (space == std::string::npos) return "\\fB" + Roff(term) + "\\fR";
  return "\\fB" + Roff(term.substr(0, space)) + "\\fR \\fI" + Roff(term.substr(space + 1)) + "\\fR";
}

// A usage line: the program's name and command in bold.
std::string Synopsis(const std::string& usage, std::size_t boldWords) {
  std::string bold, rest = usage;
  for (std::size_t w = 0; w < boldWords && !rest.empty(); ++w) {
    const std::size_t space = rest.find(' ');
    bold += (bold.empty() ? "" : " ") + rest.substr(0, space);
    rest = space == std::string::npos ? "" : rest.substr(space + 1);
  }
  return "\\fB" + Roff(bold, true) + "\\fR" + (rest.empty() ? "" : " " + Roff(rest));
}

// `headed`: the output stands right after a section heading, where a
// paragraph needs no macro of its own.
void WriteBlocks(std::ostream& out, const std::vector<Block>& blocks, bool topLevel,
                 const std::map<std::string, Help>& commands, bool headed) {
  std::string openList;
  for (const Block& b : blocks) {
    if (b.kind == Block::Paragraph) {
      if (topLevel && StartsWith(b.text, "Exit status:")) {
        out << ".SH \"EXIT STATUS\"\n" << Line(Trim(b.text.substr(12))) << '\n';
      } else {
        out << (headed ? "" : ".PP\n") << Line(b.text) << '\n';
      }
      headed = false;
      continue;
    }
    headed = false;
    if (b.heading != openList || b.kind == Block::Example) {
      if (topLevel)
        out << ".SH " << Roff(Upper(b.heading)) << '\n';
      else
        out << ".PP\n\\fI" << Roff(b.heading) << ":\\fR\n";
      openList = b.heading;
    }
    if (b.kind == Block::Example) {
      out << ".PP\n.RS 4\n.nf\n";
      for (const std::string& l : b.lines) out << Line(l, true) << '\n';
      out << ".fi\n.RE\n";
      continue;
    }
    for (const Item& item : b.items) {
      const auto command = commands.find(item.term);
      if (command != commands.end()) {
        out << ".SS " << Roff(item.term) << '\n' << Line(item.text) << '\n';
        for (const std::string& u : command->second.usage) out << ".PP\n" << Synopsis(u, 2) << '\n';
        WriteBlocks(out, command->second.blocks, false, {}, false);
        continue;
      }
      out << ".TP\n" << Term(item.term) << '\n' << Line(item.text) << '\n';
    }
  }
}

// ---- bash completion --------------------------------------------------------

bool PlainWord(const std::string& w) {
  if (w.empty()) return false;
  for (char c : w)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == ',' ||
          c == '-' || c == '_' || c == '+'))
      return false;
  return true;
}

// The words an option's value may be: its "a|b|c" choices, or the numbers
// after "one of" in its text.
std::vector<std::string> ValueWords(const std::string& metavar, const std::string& text) {
  std::vector<std::string> words;
  if (metavar.find('|') != std::string::npos) {
    std::istringstream in(metavar);
    for (std::string w; std::getline(in, w, '|');)
      if (PlainWord(w)) words.push_back(w);
    return words;
  }
  const std::size_t at = text.find("one of ");
  if (at == std::string::npos) return words;
  std::istringstream in(text.substr(at + 7));
  for (std::string w; in >> w;) {
    if (w.find_first_not_of("0123456789.") != std::string::npos) break;
    words.push_back(w);
  }
  return words;
}

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> words;
  std::istringstream in(s);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string s;
  for (const std::string& w : words) s += (s.empty() ? "" : " ") + w;
  return s;
}

void WriteCompletion(std::ostream& out, const std::string& name, const std::map<std::string, Help>& commands,
                     const std::vector<std::string>& order) {
  std::string function = "_" + name;
  for (char& c : function)
    if (c == '-') c = '_';
  out << "# bash completion for " << name << ", made from its --help texts.\n"
      << function << "() {\n"
      << "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} options=\n"
      << "  COMPREPLY=()\n"
      << "  if ((COMP_CWORD == 1)); then\n"
      << "    mapfile -t COMPREPLY < <(compgen -W '" << Joined(order) << " help --help --version' -- \"$cur\")\n"
      << "    return\n"
      << "  fi\n"
      << "  case ${COMP_WORDS[1]} in\n"
      << "    help)\n"
      << "      ((COMP_CWORD == 2)) && mapfile -t COMPREPLY < <(compgen -W '" << Joined(order) << "' -- \"$cur\")\n"
      << "      return ;;\n";
  for (const std::string& command : order) {
    std::vector<std::string> options;
    std::map<std::string, std::vector<std::string>> byValues;  // words → options
    std::vector<std::string> dirs, files, free;
    for (const Block& b : commands.at(command).blocks) {
      for (const Item& item : b.items) {
        if (!StartsWith(item.term, "--")) continue;
        const std::size_t space = item.term.find(' ');
        const std::string option = item.term.substr(0, space);
        if (!PlainWord(option)) continue;
        options.push_back(option);
        if (space == std::string::npos) continue;
        const std::string metavar = item.term.substr(space + 1);
        std::vector<std::string> words = ValueWords(metavar, item.text);
        // "F as for --band": the values of that option.
        const std::size_t asFor = item.text.find("as for --");
        if (words.empty() && asFor != std::string::npos) {
          const std::string other = item.text.substr(asFor + 7, item.text.find_first_of(" ),;", asFor + 7) - asFor - 7);
          for (const auto& [w, opts] : byValues)
            for (const std::string& o : opts)
              if (o == other) words = Split(w);
        }
        if (!words.empty())
          byValues[Joined(words)].push_back(option);
        else if (metavar == "DIR")
          dirs.push_back(option);
        else if (metavar == "FILE")
          files.push_back(option);
        else
          free.push_back(option);
      }
    }
    auto pattern = [](const std::vector<std::string>& opts) {
      std::string p;
      for (const std::string& o : opts) p += (p.empty() ? "" : "|") + o;
      return p;
    };
    out << "    " << command << ")\n"
        << "      options='" << Joined(options) << "'\n"
        << "      case $prev in\n";
    for (const auto& [words, opts] : byValues)
      out << "        " << pattern(opts) << ") mapfile -t COMPREPLY < <(compgen -W '" << words
          << "' -- \"$cur\"); return ;;\n";
    if (!dirs.empty())
      out << "        " << pattern(dirs)
          << ") compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -d -- \"$cur\"); return ;;\n";
    if (!files.empty())
      out << "        " << pattern(files)
          << ") compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\"); return ;;\n";
    if (!free.empty()) out << "        " << pattern(free) << ") return ;;\n";
    out << "      esac";
    // "Usage: lorvant-calc measured FILE [options]": a word that is no
    // option is the command's file.
    const std::vector<std::string>& usage = commands.at(command).usage;
    if (!usage.empty() && usage[0].find(" " + command + " FILE") != std::string::npos)
      out << "\n      if [[ $cur != -* ]]; then\n"
          << "        compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\"); return\n"
          << "      fi";
    out << " ;;\n";
  }
  out << "    *) return ;;\n"
      << "  esac\n"
      << "  mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")\n"
      << "}\n"
      << "complete -F " << function << ' ' << name << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> opt;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    if (!StartsWith(key, "--")) {
      std::cerr << "lorvant_manpage: unexpected argument " << key << '\n';
      return 2;
    }
    opt[key.substr(2)] = argv[i + 1];
  }
  for (const char* required : {"program", "out", "summary", "version", "date"})
    if (!opt.count(required)) {
      std::cerr << "lorvant_manpage: --" << required << " is required\n";
      return 2;
    }
  const std::string program = opt["program"];
  std::string name = program.substr(program.find_last_of('/') + 1);
  try {
    const Help help = Parse(HelpOf(program, {"--help"}));
    std::map<std::string, Help> commands;
    std::vector<std::string> order;
    for (const Block& b : help.blocks)
      if (b.kind == Block::List && b.heading == "Commands")
        for (const Item& item : b.items) {
          commands[item.term] = Parse(HelpOf(program, {item.term, "--help"}));
          order.push_back(item.term);
        }

    std::ofstream out(opt["out"], std::ios::binary);
    out << ".\\\" Made from the output of " << name << " --help; edit the program's help texts instead.\n"
        << ".TH " << Upper(Roff(name, true)) << " 1 " << opt["date"] << " \"Lorvant " << opt["version"]
        << "\" \"User Commands\"\n"
        << ".SH NAME\n"
        << Roff(name, true) << " \\- " << Roff(opt["summary"]) << '\n'
        << ".SH SYNOPSIS\n";
    for (std::size_t k = 0; k < help.usage.size(); ++k) out << (k ? ".br\n" : "") << Synopsis(help.usage[k], 1) << '\n';
    out << ".SH DESCRIPTION\n";
    WriteBlocks(out, help.blocks, true, commands, true);
    if (opt.count("see-also")) {
      out << ".SH \"SEE ALSO\"\n";
      std::istringstream refs(opt["see-also"]);
      for (std::string r; refs >> r;) {
        const std::size_t paren = r.find('(');
        out << ".BR " << Roff(r.substr(0, paren), true) << ' ' << r.substr(paren) << '\n';
      }
    }
    if (opt.count("copyright")) out << ".SH COPYRIGHT\n" << Line(opt["copyright"]) << '\n';
    if (!out) throw std::runtime_error("cannot write " + opt["out"]);

    if (opt.count("completion")) {
      std::ofstream completion(opt["completion"], std::ios::binary);
      WriteCompletion(completion, name, commands, order);
      if (!completion) throw std::runtime_error("cannot write " + opt["completion"]);
    }
  } catch (const std::exception& e) {
    std::cerr << "lorvant_manpage: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
