// libFuzzer: any bytes, read as an input script and played against the real window.
// Built and run by tools/fuzz.sh.

#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_play.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics may already be gone.
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    grimbolt::fuzz_play(reinterpret_cast<const char*>(data), size);
    return 0;
}
