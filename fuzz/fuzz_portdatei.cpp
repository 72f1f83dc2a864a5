// libFuzzer target: the port file reader. The invariants are in Invarianten.h.
#include "Invarianten.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
    const QString verletzt = Invarianten::Portdatei(
        QByteArray::fromRawData(reinterpret_cast<const char *>(daten), qsizetype(laenge)));
    if (!verletzt.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(verletzt));
        std::abort();
    }
    return 0;
}
