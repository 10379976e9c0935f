// korvantis-make-guide TEMPLATE OUTPUT: the user guide with its list of
// messages filled in from the program's catalogue, at the line of TEMPLATE
// that holds "<!-- messages -->". Run at build time, so that the guide lists
// exactly the messages the program can show.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "Messages.h"

namespace {
constexpr char kMarker[] = "<!-- messages -->";

std::string Escaped(const std::string& text) {
  std::string html;
  for (const char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      default:
        html += c;
    }
  }
  return html;
}

// What the program fills in shows as the words between the braces, set apart.
std::string WithPlaceholders(const std::string& text) {
  std::string html = Escaped(text);
  for (std::size_t open = html.find('{'); open != std::string::npos; open = html.find('{', open)) {
    const std::size_t close = html.find('}', open);
    if (close == std::string::npos) break;
    html.replace(close, 1, "</var>");
    html.replace(open, 1, "<var>");
  }
  return html;
}

std::string MessageList() {
  std::string html = "<dl>\n";
  for (const Message* message : AllMessages()) {
    if (message->advice[0] == '\0') continue;  // never shown
    html += "<dt>" + WithPlaceholders(message->text) + "</dt>\n";
    html += "<dd>" + Escaped(message->advice) + "</dd>\n";
  }
  return html + "</dl>\n";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: korvantis-make-guide TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "korvantis-make-guide: cannot read " << argv[1] << '\n';
    return 1;
  }
  std::ostringstream guide;
  bool filled = false;
  for (std::string line; std::getline(in, line);) {
    if (line.find(kMarker) != std::string::npos) {
      guide << MessageList();
      filled = true;
    } else {
      guide << line << '\n';
    }
  }
  if (!filled) {
    std::cerr << "korvantis-make-guide: " << argv[1] << " has no line " << kMarker << '\n';
    return 1;
  }
  // A build stopped half-way leaves the old guide, not half a new one.
  const std::string output = argv[2];
  const std::string partial = output + ".partial";
  std::ofstream out(partial, std::ios::trunc);
  out << guide.str();
  out.close();
  if (!out || std::rename(partial.c_str(), output.c_str()) != 0) {
    std::cerr << "korvantis-make-guide: cannot write " << output << '\n';
    std::remove(partial.c_str());
    return 1;
  }
  return 0;
}
