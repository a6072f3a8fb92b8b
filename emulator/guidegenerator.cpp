#include "guidegenerator.h"

namespace {

constexpr qint64 kDay = 24 * 60 * 60;

const QStringList kDefaultTitles = {
    "Новости",
    "Утро с нами",
    "Прогноз погоды",
    "Сериал «Тихая улица»",
    "Документальный цикл «Земля»",
    "Художественный фильм",
    "Мультфильмы",
    "Спортивное обозрение",
    "Ток-шоу «Без галстука»",
    "Концерт",
    "Кулинарный поединок",
    "Путешествие по России",
    "Вечерние новости",
    "Детектив «Следствие ведут»",
    "Музыкальный час",
    "Время науки",
    "Ночной эфир",
    "Большая история",
    "Вокруг света",
    "Здоровье",
};

qint64 floorDiv(qint64 value, qint64 divisor)
{
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

}  // namespace

GuideGenerator::GuideGenerator(const GuidePlan& plan, qint64 nowUtc, int utcOffset)
    : m_titles(plan.titles.isEmpty() ? kDefaultTitles : plan.titles)
{
    if (!plan.enabled)
        return;
    const qint64 todayUtc = floorDiv(nowUtc + utcOffset, kDay) * kDay - utcOffset;
    m_from = todayUtc - plan.daysBefore * kDay;
    m_to = todayUtc + (plan.daysAfter + 1) * kDay;
}

QList<TelecastEntry> GuideGenerator::telecasts(int channelIndex, int slotMinutes, int* nextId) const
{
    QList<TelecastEntry> telecasts;
    const qint64 slot = qint64(slotMinutes) * 60;
    telecasts.reserve(qsizetype((m_to - m_from) / slot));
    for (qint64 start = m_from; start + slot <= m_to; start += slot) {
        const qsizetype titleIndex = (channelIndex * 7 + telecasts.size()) % m_titles.size();
        telecasts.append({(*nextId)++, start, start + slot, m_titles[titleIndex]});
    }
    return telecasts;
}
