#pragma once

#include <QDialog>

// Who made the player, its version and the playback engine's; "Show Log"
// opens the debug log.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(const QString& engineVersion, QWidget* parent = nullptr);
};
