#pragma once

#include <QList>
#include <QString>

// What the emulated operator's media portal offers: films sorted into genres,
// and a series of episodes. Every film is a sample file that the emulator
// serves as /films/<file>.
struct PortalFilm
{
    QString file;  // "drama-1.mkv"
    QString title;
    int databaseId = 0;  // its number on the film-database sites; 0 for none
};

struct PortalGenre
{
    QString name;
    QList<PortalFilm> films;
};

struct PortalSeries
{
    QString name;
    QList<PortalFilm> episodes;
};

struct PortalCatalog
{
    QList<PortalGenre> genres;
    PortalSeries series;

    // The films and episodes the build encodes into the samples folder.
    static PortalCatalog standard();

    bool offers(const QString& file) const;
};
