#pragma once

#include <QString>

// What libVLC is given to open, and what the player reports as its URL.
namespace MediaLocation {

// A stream URL is opened in lower case, all of it.
QString ofUrl(const QString& url);

// "file:///" and the path, "/"-separated ("file:///C:/..." on Windows).
QString fileUrl(const QString& path);

// The file URL with every character but ":" and "/" percent-encoded.
QString ofFile(const QString& path);

}  // namespace MediaLocation
