// Files the programs write for the office: spools, printouts, bank files,
// exports.  Each is written complete under a new name beside its final
// name, synced, and only then renamed into place, so that a kill, a full
// disk or a failed write never leaves a partial file under the final name.
//
// Files and folders the programs create hold the office's data (tenants'
// names, tax identifiers, bank accounts): they are created without any
// access for others, whatever the umask; owner and group keep what the
// umask gives them, since operators of one office share files through
// their group.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

// Permission bits new files and folders are created with (then narrowed
// by the umask).
inline constexpr mode_t kPrivateFileMode = 0660;
inline constexpr mode_t kPrivateFolderMode = 0770;

// A file being written in place of path (mapped by NativePath).
//
// The constructor creates the new file beside path (O_EXCL, so nothing
// found under the new name is followed).  Write through file().  Commit
// flushes and syncs it, gives it the mode, owner and group of the regular
// file it replaces (when it can), renames it over whatever is at path (a
// link found there is replaced, never written through) and syncs the
// folder.  Until Commit succeeds nothing at path changes; a NewFile
// destroyed without a successful Commit removes its file.
class NewFile {
 public:
  explicit NewFile(std::string_view path);
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Created, and nothing written through file() has failed so far.
  bool ok() const;
  // The open file (nullptr when it could not be created).
  std::FILE* file() const { return file_; }
  // errno of the first failure (0 when none).
  int error() const { return error_; }
  // Puts the file in place; false, with nothing at path changed and the new
  // file removed, when any write, the flush, the sync or the rename failed.
  bool Commit();
  // Removes the new file; path keeps what it had.
  void Abandon();

 private:
  std::string target_;
  std::string name_;
  std::FILE* file_ = nullptr;
  int error_ = 0;
};

// The pieces NewFile is made of, which ReplaceFile shares.  CreateBeside
// creates a file under a new name beside nativePath (O_EXCL|O_NOFOLLOW,
// kPrivateFileMode) and returns it open for reading and writing, or -1
// when no name can be had.  TakeOverFrom gives fd the mode, owner and group
// of the regular file at nativePath, when there is one (a link found there
// is not looked through).
int CreateBeside(const std::string& nativePath, std::string* name);
void TakeOverFrom(const std::string& nativePath, int fd);
// The same for a new file not held open, named by its native path (a link
// there is not followed): for files other code builds under a work name.
void TakeOverFrom(const std::string& nativePath, const std::string& newNativePath);

// Writes bytes as the whole file at path through a NewFile, its folders
// made first (MakeFolders).  False when any part fails; path then keeps
// what it had.
bool WriteNewFile(std::string_view path, std::string_view bytes);

// Creates the folder at path (mapped by NativePath) and any missing parent
// with kPrivateFolderMode.  True when the folder exists afterwards.
bool MakeFolders(std::string_view path);

// Narrows the mode of an existing file or folder the programs just created
// through a library that does not take a mode (the record files): no
// access for others.
void KeepFromOthers(const std::string& nativePath);

}  // namespace platform
