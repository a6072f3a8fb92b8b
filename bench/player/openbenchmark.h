#pragma once

#include "instanceoptions.h"

#include <QList>
#include <QString>

class MediaPlayer;

// Opens one source again and again, in turn with the player and with bare
// libVLC, and keeps the milliseconds from open to the first picture.
class OpenBenchmark
{
public:
    struct Source
    {
        QString location;  // a URL, or the path of a local file
        bool isLocalFile = false;
    };

    struct Result
    {
        QList<double> player;
        QList<double> bare;
    };

    OpenBenchmark(const InstanceOptions& options, int rounds);

    Result run(const Source& source);

    static double median(QList<double> values);

private:
    double timePlayer(MediaPlayer& player, const Source& source);

    InstanceOptions m_options;
    int m_rounds;
};
