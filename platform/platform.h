#pragma once

#include <QString>

// Seams over what the operating system does differently. Each function has a
// Windows implementation (the calls the player was designed around) and one
// for Linux.
namespace Platform {

// Socket library start-up and clean-up. Returns 0 on success, otherwise the
// platform's error number.
int startSockets();
void stopSockets();

// The user's documents folder; the home directory when it cannot be found.
QString documentsFolder();

// Opens a text file in the system's text editor. Returns false when the editor
// could not be started.
bool openInTextEditor(const QString& filePath);

// The running user, to scope names shared between processes.
QString userScope();

}  // namespace Platform
