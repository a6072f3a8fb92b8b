// The installation's administration tool, run with administrator rights by
// the update: "filecopy SOURCE TARGET" replaces the folder it lives in with
// that folder's content plus SOURCE's. Nothing else.

#include "foldercopy.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() != 3 || arguments.first() != QLatin1String("filecopy")) {
        std::fprintf(stderr, "usage: zentria-admin filecopy SOURCE TARGET\n");
        return 2;
    }
    const QString error = FolderCopy::copyOver(arguments.at(1), arguments.at(2),
                                               QCoreApplication::applicationDirPath());
    if (!error.isEmpty()) {
        std::fprintf(stderr, "zentria-admin: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
