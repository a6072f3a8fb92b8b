#pragma once

#include <QString>

#include <optional>

// Where one recording goes. libVLC writes a recording into a folder under a
// name of its own ("vlc-record-<date>-<title>.ts"). A recording into a named
// file therefore goes to a staging folder beside that file, and finish()
// moves libVLC's file to the name asked for, or, when a file of that name is
// there already, to the first free "name (2).ext", "name (3).ext", ...
class RecordingFile
{
public:
    // Prepares a recording into path: an existing folder, or the file to
    // create. False when the folder cannot be written.
    bool begin(const QString& path);

    // The folder to hand to libVLC.
    QString folder() const { return m_folder; }
    bool isActive() const { return !m_folder.isEmpty(); }

    // Puts the recording in place, forgets it and tells where it went (the
    // folder itself for a recording into a folder). Nothing while there is
    // nothing to move yet or the file cannot be moved yet: libVLC opens and
    // closes the file on its input thread, a little after it was told to.
    std::optional<QString> finish();

    // Gives the recording up: the staging folder goes if it is empty.
    void abandon();

private:
    QString m_folder;
    QString m_target;  // empty when libVLC's own name is kept
};
