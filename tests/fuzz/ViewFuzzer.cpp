// Any bytes as a data file, and as a page: the HTML view lays out and paints every page they give,
// within its bounds, and reads no file.
#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "htmlview/HtmlLite.h"
#include "tests/fuzz/FuzzedDictionary.h"
#include "tests/fuzz/FuzzedPages.h"

namespace {

ThtmlLite* view = nullptr;

void Show(const CHtmlLines& lines) {
  view->LoadStrings(lines);
  view->grab();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: libFuzzer ends the process with exit(), after which Qt cannot be torn down.
  static auto* application = new QApplication(*argc, *argv);
  (void)application;
  view = new ThtmlLite(ThtmlLite::ResultView());
  view->resize(600, 400);
  view->show();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Show({std::string(reinterpret_cast<const char*>(data), size)});
  if (const auto dictionary = FuzzedDictionary(data, size)) ForEachFuzzedPage(*dictionary, Show);
  return 0;
}
