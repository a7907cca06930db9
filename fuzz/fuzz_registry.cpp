// A registry file of any bytes is searched for the game's key without harm,
// and whatever it holds is turned into host paths.
#include "platform/Installation.h"
#include "platform/WineRegistry.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto keys = readRegistryKeys(text, {QString::fromLatin1(kGameKey32), QString::fromLatin1(kGameKey),
                                              QStringLiteral("Software\\Wine")});
    for (const auto& key : keys) {
        if (!key)
            continue;
        for (auto it = key->cbegin(); it != key->cend(); ++it) {
            hostPathFromWindows("/prefix", it->text);
            registryString(*key, it.key());
        }
    }
    return 0;
}
