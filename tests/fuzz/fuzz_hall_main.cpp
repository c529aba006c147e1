// libFuzzer: any bytes, read as a recorded game's header and as the hall's index.
// Built and run by tools/fuzz.sh.

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_hall.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics may already be gone.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    grimbolt::fuzz_hall(reinterpret_cast<const char*>(data), size);
    return 0;
}
