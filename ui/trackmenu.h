#pragma once

#include <QIcon>
#include <QMenu>
#include <QStringList>

class QActionGroup;

// A pop-up menu of the tracks of one kind (audio or subtitles) of the stream
// being played. Entry k stands for the k-th description handed to
// setTracks(); at most one entry is checked.
class TrackMenu : public QMenu
{
    Q_OBJECT
public:
    TrackMenu(const QIcon& icon, QWidget* parent = nullptr);

    // The language in brackets when libVLC words a track as
    // "Track 1 - [Russian]"; any other description as it is.
    static QString entryText(const QString& description);

    // Replaces the entries, none checked.
    void setTracks(const QStringList& descriptions);
    int count() const;
    QString textAt(int index) const;

    // -1 for an action that is not an entry of this menu.
    int indexOf(QAction* action) const;
    // The first entry whose text in lower case is one of languages, or -1.
    int indexOfLanguage(const QStringList& languages) const;

    // Checks only the entry at index; an index out of range checks none.
    void check(int index);
    int checkedIndex() const;

private:
    QIcon m_icon;
    QActionGroup* m_group;
};
