#pragma once

#include <QByteArray>

// Pictures the emulator serves, drawn at start-up without any text, so that no
// fonts are needed.
namespace Images {

// 640x360: a red "no entry" sign on dark grey, shown for closed channels.
QByteArray channelDenyPng();

// 48x48: a rounded square in a colour of the channel's own.
QByteArray channelIconPng(int channelId);

}  // namespace Images
