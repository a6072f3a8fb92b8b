#include "deinterlacemode.h"

#include <QCoreApplication>

#include <array>

namespace Deinterlace {

namespace {

constexpr std::array<const char*, modeCount> vlcNames = {"none", "discard", "mean", "blend",
                                                         "bob",  "linear",  "x"};

constexpr std::array<const char*, modeCount> displayNames = {
    QT_TRANSLATE_NOOP("DeinterlaceMode", "None"), QT_TRANSLATE_NOOP("DeinterlaceMode", "Discard"),
    QT_TRANSLATE_NOOP("DeinterlaceMode", "Mean"), QT_TRANSLATE_NOOP("DeinterlaceMode", "Blend"),
    QT_TRANSLATE_NOOP("DeinterlaceMode", "Bob"),  QT_TRANSLATE_NOOP("DeinterlaceMode", "Linear"),
    QT_TRANSLATE_NOOP("DeinterlaceMode", "X"),
};

int indexOf(DeinterlaceMode mode)
{
    return static_cast<int>(mode);
}

}  // namespace

QString vlcName(DeinterlaceMode mode)
{
    return QString::fromLatin1(vlcNames[indexOf(mode)]);
}

QString displayName(DeinterlaceMode mode)
{
    return QCoreApplication::translate("DeinterlaceMode", displayNames[indexOf(mode)]);
}

DeinterlaceMode fromInt(int value)
{
    const bool known = value >= 0 && value < modeCount;
    return known ? static_cast<DeinterlaceMode>(value) : DeinterlaceMode::None;
}

void registerMetaType()
{
    qRegisterMetaType<DeinterlaceMode>("DeinterlaceMode");
}

}  // namespace Deinterlace
