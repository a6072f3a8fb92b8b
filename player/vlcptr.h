#pragma once

#include <memory>

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_t;
struct libvlc_track_description_t;

// Owning pointers to libVLC objects: each type names its release function
// once, here, and nothing else releases them by hand.
template <typename T>
struct VlcRelease;

template <>
struct VlcRelease<libvlc_instance_t>
{
    void operator()(libvlc_instance_t* instance) const;
};

template <>
struct VlcRelease<libvlc_media_player_t>
{
    void operator()(libvlc_media_player_t* player) const;
};

template <>
struct VlcRelease<libvlc_media_t>
{
    void operator()(libvlc_media_t* media) const;
};

template <>
struct VlcRelease<libvlc_track_description_t>
{
    void operator()(libvlc_track_description_t* list) const;
};

// A string libVLC allocated for its caller.
template <>
struct VlcRelease<char>
{
    void operator()(char* text) const;
};

template <typename T>
using VlcPtr = std::unique_ptr<T, VlcRelease<T>>;
