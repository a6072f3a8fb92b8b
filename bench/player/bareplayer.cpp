#include "bareplayer.h"

#include "instanceoptions.h"

#include <QTest>

#include <vlc/vlc.h>

BarePlayer::BarePlayer(const QStringList& arguments)
{
    const ArgumentVector argv(arguments);
    m_instance = libvlc_new(argv.count(), argv.data());
    if (!m_instance)
        return;
    libvlc_log_set(
        m_instance, [](void*, int, const libvlc_log_t*, const char*, va_list) {}, nullptr);
    m_player = libvlc_media_player_new(m_instance);
    libvlc_event_attach(libvlc_media_player_event_manager(m_player), libvlc_MediaPlayerVout,
                        &BarePlayer::onVideoOutput, this);
}

BarePlayer::~BarePlayer()
{
    if (m_player) {
        libvlc_event_detach(libvlc_media_player_event_manager(m_player), libvlc_MediaPlayerVout,
                            &BarePlayer::onVideoOutput, this);
        libvlc_media_player_stop(m_player);
        libvlc_media_player_release(m_player);
    }
    if (m_instance)
        libvlc_release(m_instance);
}

void BarePlayer::onVideoOutput(const libvlc_event_t* event, void* self)
{
    auto* bare = static_cast<BarePlayer*>(self);
    if (event->u.media_player_vout.new_count == 0 || bare->m_pictureAt != 0)
        return;
    bare->m_pictureAt = bare->m_clock.nsecsElapsed();
}

double BarePlayer::openToPicture(const QString& location, int timeout)
{
    libvlc_media_t* media = libvlc_media_new_location(m_instance, location.toUtf8().constData());
    libvlc_media_player_set_media(m_player, media);
    libvlc_media_release(media);
    m_pictureAt = 0;
    m_clock.start();
    libvlc_media_player_play(m_player);
    if (!QTest::qWaitFor([this] { return m_pictureAt != 0; }, timeout))
        return -1;
    return double(m_pictureAt) / 1e6;
}

void BarePlayer::stop()
{
    libvlc_media_player_stop(m_player);
}
