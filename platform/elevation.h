#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace Utils {

// Starts the program with administrator rights, waits until it has ended and
// returns its exit code; 1 when it could not be started with those rights.
// Blocks the calling thread for the program's whole run. The parent owns the
// system's elevation prompt where there is one.
int executeElevated(const QString& program, const QStringList& arguments, QWidget* parent);

}  // namespace Utils

namespace Elevation {

// The arguments as one command-line text: separated by single blanks, an
// argument holding a blank enclosed in double quotes, nothing else escaped.
QString parameterText(const QStringList& arguments);

// Why this system cannot ask for administrator rights at all, for the user;
// empty when it can.
QString unavailableReason();

}  // namespace Elevation
