#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where one recording goes. libVLC writes a recording into a folder under a
// name of its own ("vlc-record-<date>-<title>.ts"). A recording into a named
// file therefore goes to a staging folder beside that file, and finish()
// moves libVLC's file to the name asked for, or, when a file of that name is
// there already, to the first free "name (2).ext", "name (3).ext", ...
// The staging folder's name carries the name asked for
// (".<name>.recording-XXXXXX"), so that a recording left behind by a player
// that was killed can still be put in place (recoverAbandoned()).
class RecordingFile
{
public:
    // Prepares a recording into path: an existing folder, or the file to
    // create. False when the folder cannot be written.
    bool begin(const QString& path);

    // The folder to hand to libVLC.
    QString folder() const { return m_folder; }
    // The folder the recording is for: the file's folder, or the folder
    // recorded into.
    QString targetFolder() const;
    bool isActive() const { return !m_folder.isEmpty(); }
    // Whether libVLC has created its file yet.
    bool hasRecorded() const;

    // Puts the recording in place, forgets it and tells where it went (the
    // folder itself for a recording into a folder). Nothing while there is
    // nothing to move yet or the file cannot be moved yet: libVLC opens and
    // closes the file on its input thread, a little after it was told to.
    std::optional<QString> finish();

    // Gives the recording up: the staging folder goes if it is empty.
    void abandon();

    // Puts in place the recordings that staging folders in folder still hold,
    // except those of the staging folders in busy; returns where they went.
    static QStringList recoverAbandoned(const QString& folder, const QStringList& busy = {});

private:
    QString m_folder;
    QString m_target;  // empty when libVLC's own name is kept
};
