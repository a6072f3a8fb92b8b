#pragma once

#include <QList>
#include <QString>

class QLayout;

// What the button row offers for what the player area shows: the controls
// that only make sense over a picture, the subtitles of portal movies and a
// volume that has something to act on.
struct ToolbarState
{
    struct Screen
    {
        bool videoOnScreen = false;  // video, stand-by or programme guide page
        bool iptv = false;
        bool portal = false;
        bool hasChannel = false;  // the channel manager has a current channel
    };

    // Audio tracks, only player, statistics and the volume controls.
    bool videoControls = false;
    bool subtitles = false;
    bool volumeUsable = false;

    static ToolbarState of(const Screen& screen);

    // The indicator's picture for a volume of the player's range.
    static QString volumePicture(int volume);
};

// A row of the button bar as the separators see it.
enum class RowItem { Shown, Hidden, Separator };

// A separator shows only between two groups that each show something, and
// of several separators in a row only the first.
QList<bool> separatorsShown(const QList<RowItem>& row);
// Applies separatorsShown() to the vertical lines of a layout's widgets.
void showSeparatorsBetweenGroups(QLayout* row);
