#include "toolbarstate.h"

#include "mediaplayer.h"

#include <QFrame>
#include <QLayout>

ToolbarState ToolbarState::of(const Screen& screen)
{
    ToolbarState state;
    state.videoControls = screen.videoOnScreen;
    state.subtitles = screen.videoOnScreen && screen.portal;
    state.volumeUsable = !screen.iptv || screen.hasChannel;
    return state;
}

QString ToolbarState::volumePicture(int volume)
{
    const double ratio = double(volume) / MediaPlayer::maxVolume;
    if (ratio == 0)
        return QStringLiteral(":/images/audio-volume-muted.png");
    if (ratio <= 0.3)
        return QStringLiteral(":/images/audio-volume-low.png");
    if (ratio <= 0.6)
        return QStringLiteral(":/images/audio-volume-medium.png");
    return QStringLiteral(":/images/audio-volume-high.png");
}

QList<bool> separatorsShown(const QList<RowItem>& row)
{
    QList<bool> shown;
    qsizetype pending = -1;
    bool somethingBefore = false;
    for (const RowItem item : row) {
        if (item == RowItem::Separator) {
            if (somethingBefore && pending < 0)
                pending = shown.size();
            shown << false;
        } else if (item == RowItem::Shown) {
            if (pending >= 0)
                shown[pending] = true;
            pending = -1;
            somethingBefore = true;
        }
    }
    return shown;
}

void showSeparatorsBetweenGroups(QLayout* row)
{
    QList<QFrame*> lines;
    QList<RowItem> items;
    for (int i = 0; row && i < row->count(); ++i) {
        QWidget* widget = row->itemAt(i)->widget();
        if (!widget)
            continue;
        auto* line = qobject_cast<QFrame*>(widget);
        if (line && line->frameShape() == QFrame::VLine) {
            lines << line;
            items << RowItem::Separator;
        } else {
            items << (widget->isHidden() ? RowItem::Hidden : RowItem::Shown);
        }
    }
    const QList<bool> shown = separatorsShown(items);
    for (qsizetype i = 0; i < lines.size(); ++i)
        lines[i]->setVisible(shown[i]);
}
