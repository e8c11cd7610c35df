#ifndef FILEWRITER_H
#define FILEWRITER_H

#include <QByteArray>

// Replaces the content of the file at `path` (a native, encoded path) with `content`.
//
// A regular file that only this user owns and that has a single name is replaced whole:
// the content goes to a new file in the same folder, is synced and renamed over the old
// one, keeping its mode and group, so a failed write leaves the old content untouched.
// A new file is created the same way. Everything else (devices, FIFOs, hard-linked or
// foreign files, set-id files, folders where no temporary file can be made) is written
// in place; a regular file gets its space reserved before its old content is overwritten.
//
// Returns false when any part of `content` did not reach the file.
bool writeFileContent(const QByteArray &path, const QByteArray &content);

#endif
