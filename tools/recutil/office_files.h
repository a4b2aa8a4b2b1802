// The files of an office folder that import and export go through, found in
// any case, as a folder copied from Windows may spell them.
#pragma once

#include <map>
#include <string>

namespace recutil {

// The files in directory whose extension is ext (".xdf", any case), by base
// name folded to lower case; the value is the file's path.  Empty when the
// directory does not exist.
std::map<std::string, std::string> FilesByBase(const std::string& directory,
                                               const std::string& ext);

// The directory root/name as it exists (any case), or root/name when it
// does not exist yet.
std::string SubDirectory(const std::string& root, const std::string& name);

}  // namespace recutil
