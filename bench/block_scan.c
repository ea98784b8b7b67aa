/* The floor for whole-program throughput: reads a file in 64 KiB blocks and
   counts its '<' bytes, one byte at a time. Built with -O2 by compare.sh. */
#include <stdio.h>

int main(int argc, char** argv) {
  static unsigned char block[64 * 1024];
  FILE* in;
  size_t got, i;
  unsigned long long count = 0;
  if (argc != 2 || !(in = fopen(argv[1], "rb"))) return 2;
  while ((got = fread(block, 1, sizeof block, in)) > 0)
    for (i = 0; i < got; i++) count += block[i] == '<';
  fclose(in);
  printf("%llu\n", count);
  return 0;
}
