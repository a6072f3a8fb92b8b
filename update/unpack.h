#pragma once

#include <QString>

namespace Unpack {

// The results follow the exit codes of the unzip program, which the Windows
// build runs for the same work.
enum Result {
    Unpacked = 0,
    UnsafeEntry = 2,  // an absolute path, one leading out of the folder, a link
    CorruptArchive = 3,
    NotAnArchive = 9,
    CannotWrite = 50,
};

// Unpacks the ZIP archive into the existing, empty directory; nothing is
// written when an entry is unsafe, part of the content may be after another
// failure. Returns a Result or, on Windows, unzip's own exit code.
int unpackZip(const QString& archive, const QString& directory);

}  // namespace Unpack
