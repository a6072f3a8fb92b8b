#include "showplayermessage.h"

#include <windows.h>

ShowPlayerMessage::ShowPlayerMessage(const QString& key, QObject* parent)
    : QObject(parent), m_key(key)
{
}

bool ShowPlayerMessage::listen()
{
    // The window receives SHOWPLAYERMSG in its own native event handler.
    return true;
}

bool ShowPlayerMessage::post(quint32 windowHandle)
{
    HWND window = reinterpret_cast<HWND>(static_cast<quintptr>(windowHandle));
    return PostMessageW(window, messageId, 0, 0) != 0;
}

void ShowPlayerMessage::onNewConnection() {}
