// An in-memory clipboard that stands in for the system's in tests: it records
// every call, and each step can be made to fail.
#ifndef QLN_TESTS_FAKE_CLIPBOARD_H_
#define QLN_TESTS_FAKE_CLIPBOARD_H_

#include <optional>
#include <string>
#include <vector>

struct FakeClipboard {
  std::optional<std::string> text;  ///< the clipboard's text; nothing: no text
  bool open_fails = false;
  bool empty_fails = false;
  bool prepare_fails = false;
  bool set_fails = false;

  bool is_open = false;
  int prepared_alive = 0;          ///< prepared texts neither taken nor freed
  std::vector<std::string> calls;  ///< "open", "get", "empty", ... in order
};

/// The one fake of the test binary, put back to its defaults.
FakeClipboard& ResetFakeClipboard();

/// The fake as it stands.
FakeClipboard& TheFakeClipboard();

#endif  // QLN_TESTS_FAKE_CLIPBOARD_H_
