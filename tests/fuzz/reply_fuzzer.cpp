// libFuzzer entry: each input is fed, as controller traffic, to a freshly
// connected main window on test doubles. A broken check aborts with its text.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "fuzz/reply_feed.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "reply_fuzzer";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vireo::testing::FormFixture f;
  f.ConnectAndAnswer();
  const std::string problem = vireo::testing::FeedReplies(f, data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "reply feed: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
