// Converts one input as the filter does (clipboard mode, LF line ends, read
// in blocks of 64 KiB, the text written to standard output) with a block
// kernel and profile chosen on the command line, so that each kernel can be
// timed and counted through a whole conversion.
//
//   kernel_run [--kernel=auto|scalar|sse2|avx2] [--classic|--modern] [FILE]
//   kernel_run --name [--kernel=K]   prints the name of the kernel K runs as
//
// With no FILE, or a FILE of -, it reads standard input. A kernel this build
// or processor lacks is refused (exit status 3) rather than stood in for, so
// that a figure is never put to the wrong kernel's name.
#include <fcntl.h>
#include <qln/qln.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/conversion.h"
#include "engine/kernels.h"
#include "engine/run_settings.h"

namespace {

using qln::detail::KernelChoice;

int Usage() {
  std::fputs(
      "usage: kernel_run [--kernel=auto|scalar|sse2|avx2] [--classic|--modern] [FILE]\n"
      "       kernel_run --name [--kernel=auto|scalar|sse2|avx2]\n",
      stderr);
  return 2;
}

bool KernelFromName(std::string_view name, KernelChoice* choice) {
  static constexpr struct {
    std::string_view name;
    KernelChoice choice;
  } kNames[] = {{"auto", KernelChoice::kAuto},
                {"scalar", KernelChoice::kScalar},
                {"sse2", KernelChoice::kSse2},
                {"avx2", KernelChoice::kAvx2}};
  for (const auto& entry : kNames)
    if (entry.name == name) {
      *choice = entry.choice;
      return true;
    }
  return false;
}

/// The sink's state: whether a write failed, and why.
struct Output {
  bool failed = false;
  int error = 0;
};

void WriteOut(const char* bytes, size_t size, void* user) {
  Output* output = static_cast<Output*>(user);
  while (size > 0 && !output->failed) {
    const ssize_t count = write(STDOUT_FILENO, bytes, size);
    if (count >= 0) {
      bytes += count;
      size -= static_cast<size_t>(count);
    } else if (errno != EINTR) {
      output->failed = true;
      output->error = errno;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  KernelChoice choice = KernelChoice::kAuto;
  std::string_view kernel_name = "auto";
  bool modern = false;
  bool print_name = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; i++) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--kernel=")) {
      kernel_name = arg.substr(std::strlen("--kernel="));
      if (!KernelFromName(kernel_name, &choice)) return Usage();
    } else if (arg == "--classic" || arg == "--modern") {
      modern = arg == "--modern";
    } else if (arg == "--name") {
      print_name = true;
    } else if (!path && (arg == "-" || !arg.starts_with('-'))) {
      path = argv[i];
    } else {
      return Usage();
    }
  }
  if (!qln::detail::HasKernel(choice)) {
    std::fprintf(stderr, "kernel_run: no %.*s kernel on this processor or build\n",
                 static_cast<int>(kernel_name.size()), kernel_name.data());
    return 3;
  }
  if (print_name) {
    std::printf("%s\n", qln::detail::KernelFor(choice).name);
    return 0;
  }

  int input = STDIN_FILENO;
  if (path && std::string_view(path) != "-" && (input = open(path, O_RDONLY)) < 0) {
    std::fprintf(stderr, "kernel_run: %s: %s\n", path, std::strerror(errno));
    return 1;
  }
  qln::Settings settings;
  settings.ModernHtml = modern ? 1 : 0;
  qln::detail::RunSettings run = qln::detail::ToRunSettings(settings);
  run.Kernel = choice;

  Output output;
  qln::detail::Conversion conversion;
  StartConversion(&conversion, run, qln::Mode::kClipboard, qln::LineEnds::kLf, WriteOut, &output);
  std::string block(64 * 1024, '\0');
  for (;;) {
    const ssize_t got = read(input, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      std::fprintf(stderr, "kernel_run: %s: %s\n", path ? path : "standard input",
                   std::strerror(errno));
      return 1;
    }
    if (got == 0) break;
    FeedConversion(&conversion, std::string_view(block.data(), static_cast<size_t>(got)));
    if (output.failed) break;
  }
  if (!output.failed) FinishConversion(&conversion);
  if (output.failed) {
    std::fprintf(stderr, "kernel_run: standard output: %s\n", std::strerror(output.error));
    return 1;
  }
  return 0;
}
