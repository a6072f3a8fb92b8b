#include "portalcatalog.h"

#include <algorithm>

PortalCatalog PortalCatalog::standard()
{
    // The titles are Russian, as the operator's are, so that the default
    // film's title crosses the page title in UTF-8.
    return {{{"Drama",
              {{"drama-1.mkv", QStringLiteral("Северный ветер"), 1},
               {"drama-2.mkv", QStringLiteral("Долгая зима"), 2},
               {"drama-3.mkv", QStringLiteral("Тихая гавань"), 3}}},
             {"Comedy", {{"comedy-1.mkv", QStringLiteral("Весёлые соседи"), 4}}}},
            {QStringLiteral("Дачные истории"),
             {{"episode-1.mkv", QStringLiteral("Серия 1")},
              {"episode-2.mkv", QStringLiteral("Серия 2")},
              {"episode-3.mkv", QStringLiteral("Серия 3")}}}};
}

bool PortalCatalog::offers(const QString& file) const
{
    const auto named = [&file](const PortalFilm& film) { return film.file == file; };
    const auto inGenre = [&named](const PortalGenre& genre) {
        return std::any_of(genre.films.begin(), genre.films.end(), named);
    };
    return std::any_of(series.episodes.begin(), series.episodes.end(), named) ||
           std::any_of(genres.begin(), genres.end(), inGenre);
}
