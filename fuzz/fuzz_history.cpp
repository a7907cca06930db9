// A history record of any bytes loads; what was loaded saves and loads back
// to the same record.
#include "history/HistoryRecord.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    HistoryRecord first;
    first.loadFromBytes(bytes);
    const QByteArray saved = first.saveToBytes();
    HistoryRecord second;
    second.loadFromBytes(saved);
    if (!(first == second) || second.saveToBytes() != saved)
        std::abort();
    return 0;
}
