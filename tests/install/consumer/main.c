/* capp FILE [file|pipe]: converts the HTML in FILE with the installed qln
   engine, through its C interface, and writes the result to standard output,
   as app does. The whole text is converted in one call and, in pieces, by a
   converter; both must give the same bytes. */
#include <qln/qln_c.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Collected {
  char* bytes;
  size_t size;
};

static void Collect(const char* bytes, size_t size, void* user) {
  struct Collected* collected = (struct Collected*)user;
  char* grown = (char*)realloc(collected->bytes, collected->size + size + 1);
  if (grown == NULL) exit(3);
  memcpy(grown + collected->size, bytes, size);
  collected->bytes = grown;
  collected->size += size;
}

int main(int argc, char** argv) {
  const char* style = argc == 3 ? argv[2] : "file";
  FILE* file = argc >= 2 ? fopen(argv[1], "rb") : NULL;
  if (file == NULL || argc > 3 || (strcmp(style, "file") != 0 && strcmp(style, "pipe") != 0)) {
    fprintf(stderr, "usage: capp FILE [file|pipe]\n");
    return 2;
  }
  char* input = NULL;
  size_t size = 0;
  char block[4096];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) {
    char* grown = (char*)realloc(input, size + got);
    if (grown == NULL) return 3;
    memcpy(grown + size, block, got);
    input = grown;
    size += got;
  }
  fclose(file);

  qln_settings settings;
  qln_default_settings(&settings);
  const qln_mode mode = strcmp(style, "file") == 0 ? QLN_MODE_FILE : QLN_MODE_CLIPBOARD;
  const qln_line_ends line_ends = mode == QLN_MODE_FILE ? QLN_LINE_ENDS_CRLF : QLN_LINE_ENDS_LF;

  char* whole = NULL;
  size_t whole_size = 0;
  if (qln_convert(input, size, &settings, mode, line_ends, &whole, &whole_size) != QLN_OK) return 4;

  struct Collected streamed = {NULL, 0};
  qln_converter* converter = NULL;
  if (qln_converter_new(&settings, mode, line_ends, Collect, &streamed, &converter) != QLN_OK)
    return 5;
  for (size_t at = 0; at < size; at += 5) {
    const size_t piece = size - at < 5 ? size - at : 5;
    if (qln_converter_feed(converter, input + at, piece) != QLN_OK) return 6;
  }
  if (qln_converter_finish(converter) != QLN_OK) return 7;
  if (qln_converter_feed(converter, "x", 1) != QLN_ERROR_FINISHED) return 8;
  qln_converter_free(converter);

  if (streamed.size != whole_size || memcmp(streamed.bytes, whole, whole_size) != 0) return 9;
  fwrite(whole, 1, whole_size, stdout);
  qln_free(whole);
  free(streamed.bytes);
  free(input);
  return 0;
}
