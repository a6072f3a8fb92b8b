#pragma once

#include <QtGlobal>

namespace Platform {

// Whether the player's hardware decoding can be offered: it is libVLC's
// DirectX video acceleration, which only Windows has.
constexpr bool offersGpuAcceleration()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

}  // namespace Platform
