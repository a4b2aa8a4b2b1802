// Windows-style paths mapped onto the file system.
//
// The system builds file names as texts such as RootDir + "DADES\TVRebut",
// the way the office's installations were laid out on Windows.  Every open
// or create of a file named by the system goes through NativePath, which
// turns such a text into a path on this machine at the moment of use:
//   - every "\" becomes "/", and separators in a row become one;
//   - a leading drive ("C:") is dropped, so "C:\ROOT\X" is "/ROOT/X";
//   - a component that does not exist with its exact case matches an existing
//     entry that differs from it only in ASCII case (installations copied from
//     Windows keep their mixed case: "DADES\TVRebut.dat" finds "dades/tvrebut.DAT").
// A component that matches nothing is kept as given, so a new file is
// created with the name the system chose.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

std::string NativePath(std::string_view path);

// fopen through NativePath.  Returns nullptr when the file cannot be opened.
std::FILE* OpenFile(std::string_view path, const char* mode);

// Whole contents of a file; false when it cannot be opened or read.
bool ReadWholeFile(std::string_view path, std::string* contents);

bool FileExists(std::string_view path);

// The folder of this process's executable file (/proc/self/exe), ending in
// "/"; empty when it cannot be read.
std::string ProgramFolder();
bool RemoveFile(std::string_view path);

}  // namespace platform
