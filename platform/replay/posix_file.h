// File access for the desktop: whole regular files read with their size
// checked first, and files written whole and made durable.  Not in the web
// build.
#ifndef ZORVAK_PLATFORM_REPLAY_POSIX_FILE_H
#define ZORVAK_PLATFORM_REPLAY_POSIX_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace zplat::replay::posix {

// Creates path (which must not exist) holding bytes, synced to the disk.  On
// failure nothing is left at path, and *errorNumber is errno's value (EEXIST
// when path was there already).
bool WriteNewFile(const std::string &path, const std::vector<uint8_t> &bytes, int *errorNumber,
                  std::string *why);

// Replaces path with a file holding bytes, atomically: a temporary file in
// the same folder, synced, renamed over path, then the folder synced.  On failure
// path is as it was and no temporary file is left.
bool ReplaceFile(const std::string &folder, const std::string &name,
                 const std::vector<uint8_t> &bytes, std::string *why);

// Makes folder and the folders above it that are missing (mode 0700, as the
// XDG rules ask for).
bool MakeFolders(const std::string &folder, std::string *why);

// The program's folder under an XDG base folder: $VARIABLE/zorvak, or
// $HOME/HOME_PATH/zorvak when VARIABLE is unset, empty or not an absolute
// path (as the XDG rules say).  False when neither gives an absolute path;
// `what` names the folder's use in the message.
bool XdgFolder(const char *variable, const char *homePath, const char *what, std::string *dir,
               std::string *error);

// Syncs a folder's entries to the disk, where the file system can (some
// refuse, and the change is made all the same).
void SyncFolder(const std::string &folder);

} // namespace zplat::replay::posix

#endif
