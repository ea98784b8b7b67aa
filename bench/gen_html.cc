// Writes generated HTML to standard output or a file.
//   gen_html SHAPE SIZE [-s SEED] [-o FILE]   exactly SIZE bytes (suffixes k, M, G)
//   gen_html distinct-links -n COUNT [-o FILE]  COUNT distinct link targets
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/html_gen.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: gen_html SHAPE SIZE [-s SEED] [-o FILE]\n"
               "       gen_html distinct-links -n COUNT [-o FILE]\n"
               "shapes: %.*s\n",
               static_cast<int>(ShapeNames().size()), ShapeNames().data());
  return 2;
}

/// "64M" is 64 MiB; "100k" is 100 KiB; a bare number is bytes.
bool ParseSize(std::string_view text, size_t* size) {
  char* end = nullptr;
  std::string copy(text);
  unsigned long long value = std::strtoull(copy.c_str(), &end, 10);
  if (end == copy.c_str()) return false;
  std::string_view suffix(end);
  if (suffix == "k" || suffix == "K")
    value <<= 10;
  else if (suffix == "M")
    value <<= 20;
  else if (suffix == "G")
    value <<= 30;
  else if (!suffix.empty())
    return false;
  *size = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Shape shape;
  size_t size = 0;
  size_t links = 0;
  uint64_t seed = 1;
  const char* path = nullptr;
  int positional = 0;
  for (int i = 1; i < argc; i++) {
    std::string_view arg = argv[i];
    if ((arg == "-s" || arg == "-o" || arg == "-n") && i + 1 < argc) {
      std::string_view value = argv[++i];
      if (arg == "-o")
        path = argv[i];
      else if (arg == "-s")
        seed = std::strtoull(argv[i], nullptr, 10);
      else if (!ParseSize(value, &links))
        return Usage();
    } else if (positional == 0 && ShapeFromName(arg, &shape)) {
      positional++;
    } else if (positional == 1 && ParseSize(arg, &size)) {
      positional++;
    } else {
      return Usage();
    }
  }
  if (positional == 0 || (positional == 1) == (links == 0)) return Usage();
  if (links > 0 && shape != Shape::kDistinctLinks) return Usage();

  std::FILE* out = path ? std::fopen(path, "wb") : stdout;
  if (!out) {
    std::perror(path);
    return 1;
  }
  HtmlGenerator generator(shape, seed);
  std::string block;
  size_t left = size;
  constexpr size_t kBlock = 1 << 20;
  while (links > 0 ? generator.LinksMade() < links : left > 0) {
    block.clear();
    generator.Append(links > 0 ? 1 : std::min(left, kBlock), &block);
    if (links == 0) {
      block.resize(std::min(left, block.size()));
      left -= block.size();
    }
    std::fwrite(block.data(), 1, block.size(), out);
  }
  if (path) std::fclose(out);
  return 0;
}
