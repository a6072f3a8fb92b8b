#include "trackmenus.h"

#include <utility>

namespace {

constexpr int pollMs = 1000;
constexpr int slowPollMs = 60000;

}  // namespace

TrackMenus::Kind::Kind(const char* icon) : menu(QIcon(QString::fromLatin1(icon)))
{
    timer.setInterval(pollMs);
}

void TrackMenus::Kind::start()
{
    found = false;
    timer.setInterval(pollMs);
    timer.start();
}

void TrackMenus::Kind::noteFound(qsizetype count)
{
    if (count > 0 && !std::exchange(found, true))
        timer.setInterval(slowPollMs);
}

TrackMenus::TrackMenus(QObject* parent) : QObject(parent)
{
    connect(&m_audio.timer, &QTimer::timeout, this, &TrackMenus::audioPollDue);
    connect(&m_subtitles.timer, &QTimer::timeout, this, &TrackMenus::subtitlePollDue);
    connect(&m_audio.menu, &QMenu::triggered, this,
            [this](QAction* entry) { chooseAudio(m_audio.menu.indexOf(entry)); });
    connect(&m_subtitles.menu, &QMenu::triggered, this,
            [this](QAction* entry) { chooseSubtitle(m_subtitles.menu.indexOf(entry)); });
}

void TrackMenus::startPolling(bool subtitles)
{
    m_audio.start();
    if (subtitles)
        m_subtitles.start();
}

void TrackMenus::stopPolling()
{
    m_audio.timer.stop();
    m_subtitles.timer.stop();
}

void TrackMenus::showAudioTracks(const QStringList& tracks, int current)
{
    m_audio.noteFound(tracks.size());
    m_audio.menu.setTracks(tracks.mid(1));
    if (!std::exchange(m_preferLanguage, false)) {
        m_audio.menu.check(current - 1);
    } else {
        const int preferred =
            m_audio.menu.indexOfLanguage({QStringLiteral("russian"), QStringLiteral("ukrainian")});
        if (preferred >= 0)
            chooseAudio(preferred);
        else if (tracks.size() >= 2)
            chooseAudio(0);
    }
    emit audioUsable(tracks.size() > 2);
}

void TrackMenus::showSubtitles(const QStringList& subtitles, int current)
{
    m_subtitles.noteFound(subtitles.size());
    m_subtitles.menu.setTracks(subtitles);
    emit subtitlesUsable(subtitles.size() > 1);
    if (current != -1)
        chooseSubtitle(current);
    else if (!subtitles.isEmpty())
        chooseSubtitle(0);
}

void TrackMenus::clearAudioTracks()
{
    m_audio.menu.setTracks({});
    emit audioUsable(false);
}

void TrackMenus::clearSubtitles()
{
    m_subtitles.menu.setTracks({});
    emit subtitlesUsable(false);
}

void TrackMenus::chooseAudio(int entry)
{
    m_audio.menu.check(entry);
    emit audioTrackChosen(entry + 1);
}

void TrackMenus::chooseSubtitle(int entry)
{
    m_subtitles.menu.check(entry);
    emit subtitleChosen(entry);
}
