// The recutil commands.  Each returns the process exit code (0 success,
// 1 failure) and reports a failure on standard error with the record
// manager's status and its meaning.
#pragma once

#include <cstdint>
#include <string>

namespace recutil {

// Key description (see key_description.h) to a dictionary file.
int MakeDictionary(const std::string& description, const std::string& dictionary);
// A record file from a dictionary file; an existing file is kept unless
// replace is set.
int CreateFromDictionary(const std::string& dictionary, const std::string& file, bool replace);
// Records from a sequential file, all in one transaction: after a failure
// or a crash the file holds exactly what it held before.  With replace the
// old records go in the same transaction.  progress > 0 prints
// "loaded N" on standard error every progress records.
int LoadRecords(const std::string& file, const std::string& sequential, bool replace,
                long progress);
// Every record in the order of key number `key` to a sequential file
// ("-": standard output).
int SaveRecords(const std::string& file, const std::string& sequential, int key);
// The file's specification and counts, readable.
int PrintStat(const std::string& file);
// Checks the whole file (the engine's integrity check, the records' length,
// each key's index against the records) and prints each fault found on
// standard output, then "FILE: sound" or "FILE: damaged" (exit code 1).
// A file that is missing or cannot be opened for access is a failure with
// its status; one that does not open as a record file gets the engine's
// check alone.
int CheckFile(const std::string& file);
// Holds a lock for `seconds`: the file lock of an exclusive open, or the
// lock of the record at position (0: the first record of key 0).  Prints
// "locked" on standard output once the lock is held.
int HoldLock(const std::string& file, uint32_t position, bool exclusive, double seconds);

// Copies every record file of the installation at root between SQLite
// files under root and the database conninfo: into the database, or with
// back from it (its files named under a root) into files under root.
// Each destination file is replaced only by a complete copy, whenever the
// copy is cut.  A root that is not a folder, or no record file to copy, is
// a failure.  Prints "copied NAME" for each, and on
// standard error when a key with duplicates orders equal values otherwise
// than at the source (records inserted in physical order come in insertion
// order among equal values; an Update at the source may have moved one).
// The register goes with the files when the source has one, loaded whole,
// and is told as "copied the register (N receipts)"; one at the destination
// holding entries the source lacks is a failure before anything is copied
// (register_transfer.h).
int CopyInstallation(const std::string& root, const std::string& conninfo, bool back);

// The meaning of a record manager status, for messages.
std::string StatusText(int16_t status);

}  // namespace recutil
