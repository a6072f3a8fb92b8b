#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// What a libVLC instance is created with. Changes take effect when the next
// instance is created.
struct InstanceOptions
{
    bool gpuDecoding = false;
    bool httpReconnect = true;
    int networkCaching = 5000;    // milliseconds; outside 1 ... 60000 libVLC's default
    bool ftpSource = false;       // the source being opened is an FTP URL
    QString recordPath;           // folder of recordings
    QString subtitleFont;         // font file; empty for libVLC's default
    QStringList outputArguments;  // appended last: the video and audio outputs to use

    // The options of the player's settings store.
    static InstanceOptions fromSettings();
};

inline constexpr int maxNetworkCaching = 60000;

// The argument list of libvlc_new(), in the player's order. Logs the network
// caching, record path and subtitle font it uses.
QStringList instanceArguments(const InstanceOptions& options);

// An argument list as libvlc_new() takes it, in the local 8-bit encoding;
// valid while this object lives.
class ArgumentVector
{
public:
    explicit ArgumentVector(const QStringList& arguments);

    int count() const { return static_cast<int>(m_pointers.size()); }
    const char* const* data() const { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_encoded;
    std::vector<const char*> m_pointers;
};
