// The fake clipboard behind the platform's clipboard calls, for tests.
#include "tests/fake_clipboard.h"

#include "platform/clipboard.h"

namespace {
FakeClipboard fake;
}  // namespace

FakeClipboard& ResetFakeClipboard() {
  fake = FakeClipboard();
  return fake;
}

FakeClipboard& TheFakeClipboard() { return fake; }

namespace platform {

// The fake stands for the Windows clipboard, whose text has CR LF line ends.
const bool kClipboardHasCrLf = true;

struct PreparedText {
  std::string text;
};

bool OpenClipboard() {
  fake.calls.push_back("open");
  if (fake.open_fails || fake.is_open) return false;
  fake.is_open = true;
  return true;
}

std::string WhyNoClipboard() { return "no clipboard"; }

void CloseClipboard() {
  fake.calls.push_back("close");
  fake.is_open = false;
}

bool GetClipboardText(std::string* text, TextForm) {
  fake.calls.push_back("get");
  if (!fake.is_open || !fake.text) return false;
  *text = *fake.text;
  return true;
}

bool EmptyClipboard() {
  fake.calls.push_back("empty");
  if (!fake.is_open || fake.empty_fails) return false;
  fake.text.reset();
  return true;
}

PreparedText* PrepareClipboardText(std::string_view text, TextForm) {
  fake.calls.push_back("prepare");
  if (fake.prepare_fails) return nullptr;
  fake.prepared_alive++;
  return new PreparedText{std::string(text)};
}

bool SetClipboardText(PreparedText* prepared) {
  fake.calls.push_back("set");
  if (!fake.is_open || fake.set_fails) return false;
  fake.text = prepared->text;
  delete prepared;
  fake.prepared_alive--;
  return true;
}

void FreeClipboardText(PreparedText* prepared) {
  fake.calls.push_back("free");
  delete prepared;
  fake.prepared_alive--;
}

}  // namespace platform
