#include "vlcinternals.h"

#include <vlc/vlc.h>
#ifdef _WIN32
// libvlccore's thread header wraps poll(), which Windows calls WSAPoll; VLC's
// own build declares it in a compatibility header that is not installed.
#include <winsock2.h>
static inline int poll(struct pollfd* fds, unsigned count, int timeout)
{
    return WSAPoll(fds, count, timeout);
}
#endif
#include <vlc_common.h>
#include <vlc_input.h>
#include <vlc_input_item.h>
#include <vlc_variables.h>
#include <vlc_vout.h>

#include <cstring>

namespace VlcInternals {

namespace {

// A core object reference, released at the end of the scope.
template <typename T>
class Held
{
public:
    explicit Held(T* object = nullptr) : m_object(object) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (m_object)
            vlc_object_release(m_object);
    }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object;
};

vlc_object_t* asObject(libvlc_media_player_t* player)
{
    // libVLC 3 lays its media player out as a core object.
    return reinterpret_cast<vlc_object_t*>(player);
}

Held<input_thread_t> input(libvlc_media_player_t* player)
{
    if (!player)
        return Held<input_thread_t>();
    vlc_list_t* children = vlc_list_children(asObject(player));
    input_thread_t* found = nullptr;
    for (int i = 0; i < children->i_count && !found; ++i) {
        auto* child = static_cast<vlc_object_t*>(children->p_values[i].p_address);
        if (std::strcmp(child->obj.object_type, "input") == 0)
            found = static_cast<input_thread_t*>(vlc_object_hold(child));
    }
    vlc_list_release(children);
    return Held<input_thread_t>(found);
}

Held<vout_thread_t> videoOutput(libvlc_media_player_t* player)
{
    Held<input_thread_t> running = input(player);
    return Held<vout_thread_t>(running ? input_GetVout(running.get()) : nullptr);
}

qint32 word(int64_t counter)
{
    return static_cast<qint32>(counter);
}

StreamStatistics copyOf(const input_stats_t& stats)
{
    StreamStatistics copy;
    copy.inputPacketsRead = word(stats.i_read_packets);
    copy.inputBytesRead = word(stats.i_read_bytes);
    copy.inputBitrate = stats.f_input_bitrate;
    copy.inputAverageBitrate = stats.f_average_input_bitrate;
    copy.demuxPacketsRead = word(stats.i_demux_read_packets);
    copy.demuxBytesRead = word(stats.i_demux_read_bytes);
    copy.demuxBitrate = stats.f_demux_bitrate;
    copy.demuxAverageBitrate = stats.f_average_demux_bitrate;
    copy.demuxCorrupted = word(stats.i_demux_corrupted);
    copy.demuxDiscontinuities = word(stats.i_demux_discontinuity);
    copy.videoBlocksDecoded = word(stats.i_decoded_video);
    copy.videoPicturesDisplayed = word(stats.i_displayed_pictures);
    copy.videoPicturesLost = word(stats.i_lost_pictures);
    copy.audioBlocksDecoded = word(stats.i_decoded_audio);
    copy.audioBuffersPlayed = word(stats.i_played_abuffers);
    copy.audioBuffersLost = word(stats.i_lost_abuffers);
    return copy;
}

// The input's record filter copies the folder from the instance when it first
// records; later recordings of the same input use that copy.
void setOnDescendants(vlc_object_t* object, const char* variable, const char* value)
{
    vlc_list_t* children = vlc_list_children(object);
    for (int i = 0; i < children->i_count; ++i) {
        auto* child = static_cast<vlc_object_t*>(children->p_values[i].p_address);
        if (var_Type(child, variable) != 0)
            var_SetString(child, variable, value);
        setOnDescendants(child, variable, value);
    }
    vlc_list_release(children);
}

}  // namespace

bool canRecord(libvlc_media_player_t* player)
{
    Held<input_thread_t> running = input(player);
    return running && var_GetBool(running.get(), "can-record");
}

bool isRecording(libvlc_media_player_t* player)
{
    Held<input_thread_t> running = input(player);
    return running && var_GetBool(running.get(), "record");
}

int setRecording(libvlc_media_player_t* player, bool on)
{
    Held<input_thread_t> running = input(player);
    return running ? var_SetBool(running.get(), "record", on) : objectNotFound;
}

int setRecordPath(libvlc_media_player_t* player, const QByteArray& folder)
{
    if (!player)
        return objectNotFound;
    vlc_object_t* instance = VLC_OBJECT(asObject(player)->obj.libvlc);
    // The instance only has the variable once someone has created it.
    const int created = var_Create(instance, "input-record-path", VLC_VAR_STRING);
    if (created != VLC_SUCCESS)
        return created;
    const int result = var_SetString(instance, "input-record-path", folder.constData());
    if (result == VLC_SUCCESS)
        setOnDescendants(asObject(player), "input-record-path", folder.constData());
    return result;
}

ChoiceQuery videoOutputChoices(libvlc_media_player_t* player, const char* variable,
                               QList<Choice>* choices)
{
    Held<vout_thread_t> vout = videoOutput(player);
    if (!vout)
        return ChoiceQuery::NoVideoOutput;
    if (!(var_Type(vout.get(), variable) & VLC_VAR_HASCHOICE))
        return ChoiceQuery::NoChoices;
    vlc_value_t values;
    vlc_value_t texts;
    if (var_Change(vout.get(), variable, VLC_VAR_GETCHOICES, &values, &texts) != VLC_SUCCESS)
        return ChoiceQuery::ListFailed;
    for (int i = 0; i < values.p_list->i_count; ++i) {
        const char* text = texts.p_list->p_values[i].psz_string;
        choices->append({QString::fromUtf8(values.p_list->p_values[i].psz_string),
                         QString::fromUtf8(text ? text : "")});
    }
    var_FreeList(&values, &texts);
    return ChoiceQuery::Listed;
}

bool setCropMargins(libvlc_media_player_t* player, int left, int top, int right, int bottom)
{
    Held<vout_thread_t> vout = videoOutput(player);
    if (!vout)
        return false;
    var_SetInteger(vout.get(), "crop-left", left);
    var_SetInteger(vout.get(), "crop-top", top);
    var_SetInteger(vout.get(), "crop-right", right);
    var_SetInteger(vout.get(), "crop-bottom", bottom);
    return true;
}

StreamStatistics statistics(libvlc_media_player_t* player)
{
    Held<input_thread_t> running = input(player);
    input_item_t* item = running ? input_GetItem(running.get()) : nullptr;
    if (!item)
        return StreamStatistics();
    StreamStatistics copy;
    vlc_mutex_lock(&item->lock);
    if (item->p_stats) {
        vlc_mutex_lock(&item->p_stats->lock);
        copy = copyOf(*item->p_stats);
        vlc_mutex_unlock(&item->p_stats->lock);
    }
    vlc_mutex_unlock(&item->lock);
    return copy;
}

}  // namespace VlcInternals
