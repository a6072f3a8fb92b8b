#pragma once

#include <QMetaType>
#include <QString>

// How the picture is deinterlaced. The values are those of the "deinterlace"
// setting.
enum class DeinterlaceMode { None, Discard, Mean, Blend, Bob, Linear, X };

namespace Deinterlace {

inline constexpr int modeCount = 7;

// The name libVLC knows: "none", "discard", ... "x".
QString vlcName(DeinterlaceMode mode);

// The capitalised name, translated: "None", "Discard", ... "X".
QString displayName(DeinterlaceMode mode);

// A stored setting; values out of range read as None.
DeinterlaceMode fromInt(int value);

// Makes the type known by its name "DeinterlaceMode" to queued connections.
void registerMetaType();

}  // namespace Deinterlace

Q_DECLARE_METATYPE(DeinterlaceMode)
