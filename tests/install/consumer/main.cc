// app FILE [file|pipe]: converts the HTML in FILE with the qln engine and
// writes the result to standard output: as file mode writes its file (the
// default), or as qln on Linux converts a pipe.
#include <qln/qln.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  const std::string style = argc == 3 ? argv[2] : "file";
  std::ifstream file(argc >= 2 ? argv[1] : "", std::ios::binary);
  if (!file || argc > 3 || (style != "file" && style != "pipe")) {
    std::fprintf(stderr, "usage: app FILE [file|pipe]\n");
    return 2;
  }
  const std::string html((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  qln::Settings settings = qln::kDefaultSettings;
  const std::string text =
      style == "file" ? qln::Convert(html, settings)
                      : qln::Convert(html, settings, qln::Mode::kClipboard, qln::LineEnds::kLf);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
