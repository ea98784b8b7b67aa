// The name of a new output's temporary file.
#include "platform/temp_name.h"

#include <algorithm>

namespace platform {
namespace {

constexpr size_t kMaxNameKept = 200;  // of the target's name

/// Six characters from [0-9a-z], mixed from the seed and the attempt.
std::string UniqueSuffix(uint64_t seed, int attempt) {
  uint64_t x = seed ^ static_cast<uint64_t>(attempt) * 0x9E3779B97F4A7C15u;
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9u;
  x ^= x >> 29;
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (int i = 0; i < 6; i++, x /= 36) suffix.push_back(kDigits[x % 36]);
  return suffix;
}

}  // namespace

std::string TempPathFor(const std::string& target, std::string_view separators, uint64_t seed,
                        int attempt) {
  const size_t separator = target.find_last_of(separators);
  const size_t name_start = separator == std::string::npos ? 0 : separator + 1;
  std::string path = target.substr(0, name_start);
  path.append(".")
      .append(target, name_start, std::min(target.size() - name_start, kMaxNameKept))
      .append(".qln-")
      .append(UniqueSuffix(seed, attempt));
  return path;
}

}  // namespace platform
