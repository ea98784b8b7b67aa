// app FILE [file|pipe]: converts the HTML in FILE with the installed qln
// engine and writes the result to standard output: as file mode writes its
// file (the default), or as qln on Linux converts a pipe. The input is fed in
// small pieces and the output written as it comes.
//
// The program has names of its own that an engine in the global namespace
// would clash with, and includes every installed header.
#include <qln/export.h>
#include <qln/qln.h>
#include <qln/qln_c.h>
#include <qln/settings.h>

#include <cstdio>
#include <fstream>
#include <string>

struct Settings {
  int verbose = 0;
};
int ScanChunk(const char* text) { return text[0]; }
void HandleTag() {}
void EmitWord() {}

namespace {

void Write(const char* bytes, size_t size, void*) { std::fwrite(bytes, 1, size, stdout); }

}  // namespace

int main(int argc, char** argv) {
  const Settings own;
  HandleTag();
  EmitWord();
  const std::string style = argc == 3 ? argv[2] : "file";
  std::ifstream file(argc >= 2 ? argv[1] : "", std::ios::binary);
  if (!file || argc > 3 || (style != "file" && style != "pipe") || ScanChunk("x") != 'x') {
    std::fprintf(stderr, "usage: app FILE [file|pipe]\n");
    return 2 + own.verbose;
  }
  qln::Settings settings = qln::kDefaultSettings;
  qln::Converter converter(settings, style == "file" ? qln::Mode::kFile : qln::Mode::kClipboard,
                           style == "file" ? qln::LineEnds::kCrLf : qln::LineEnds::kLf, Write,
                           nullptr);
  char piece[7];
  while (file.read(piece, sizeof piece) || file.gcount() > 0)
    converter.Feed(std::string_view(piece, static_cast<size_t>(file.gcount())));
  converter.Finish();
  return 0;
}
