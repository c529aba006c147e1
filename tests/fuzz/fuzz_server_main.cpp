// libFuzzer: any bytes, as a request to the world server's answers. Built and run by
// tools/fuzz.sh.

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_server.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);  // never destroyed: Qt's statics may go first
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    grimbolt::server::fuzz_server(reinterpret_cast<const char*>(data), size);
    return 0;
}
