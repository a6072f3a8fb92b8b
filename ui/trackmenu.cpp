#include "trackmenu.h"

#include <QActionGroup>
#include <QRegularExpression>

TrackMenu::TrackMenu(const QIcon& icon, QWidget* parent)
    : QMenu(parent), m_icon(icon), m_group(new QActionGroup(this))
{
    m_group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
}

QString TrackMenu::entryText(const QString& description)
{
    static const QRegularExpression language(QStringLiteral("Track\\s+\\d+.+\\[([^]]+)\\]"));
    const QRegularExpressionMatch match = language.match(description);
    return match.hasMatch() ? match.captured(1) : description;
}

void TrackMenu::setTracks(const QStringList& descriptions)
{
    clear();
    for (const QString& description : descriptions) {
        QAction* entry = addAction(m_icon, entryText(description));
        entry->setCheckable(true);
        m_group->addAction(entry);
    }
}

int TrackMenu::count() const
{
    return int(actions().size());
}

QString TrackMenu::textAt(int index) const
{
    return index >= 0 && index < count() ? actions().at(index)->text() : QString();
}

int TrackMenu::indexOf(QAction* action) const
{
    return int(actions().indexOf(action));
}

int TrackMenu::indexOfLanguage(const QStringList& languages) const
{
    const QList<QAction*> entries = actions();
    for (int i = 0; i < entries.size(); ++i) {
        if (languages.contains(entries.at(i)->text().toLower()))
            return i;
    }
    return -1;
}

void TrackMenu::check(int index)
{
    const QList<QAction*> entries = actions();
    for (int i = 0; i < entries.size(); ++i)
        entries.at(i)->setChecked(i == index);
}

int TrackMenu::checkedIndex() const
{
    return indexOf(m_group->checkedAction());
}
