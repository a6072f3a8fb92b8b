#include "elevation.h"

namespace Elevation {

QString parameterText(const QStringList& arguments)
{
    QStringList quoted;
    quoted.reserve(arguments.size());
    for (const QString& argument : arguments)
        quoted.append(argument.contains(QLatin1Char(' '))
                          ? QLatin1Char('"') + argument + QLatin1Char('"')
                          : argument);
    return quoted.join(QLatin1Char(' '));
}

}  // namespace Elevation
