// A history record of any bytes loads; what was loaded saves and loads back
// to the same record.
#include "history/unitHistoryClass.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    THistoryEntry first;
    first.LoadFromBytes(bytes);
    const QByteArray saved = first.SaveToBytes();
    THistoryEntry second;
    second.LoadFromBytes(saved);
    if (!(first == second) || second.SaveToBytes() != saved)
        std::abort();
    return 0;
}
