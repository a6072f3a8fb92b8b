#pragma once

#include <QString>

namespace FolderCopy {

// Replaces the target folder with a copy of itself with the source folder's
// content copied over it. Nothing is written unless the target is the allowed
// folder (compared with links resolved). The copy is made in a staging folder
// beside the target that only the caller can reach, and swapped in by
// renames: until then the target stays as it was. Symbolic links in the
// source are refused and none is followed; the copied files lose any write
// permission for others. Returns the reason of a failure, empty on success.
QString copyOver(const QString& source, const QString& target, const QString& allowedTarget);

}  // namespace FolderCopy
