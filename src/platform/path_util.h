// Small path helpers.
#pragma once

#include <string>

namespace tarvik {

// The last element of a path: the text after its last "/" or "\". A path ending in a separator
// gives its last non-empty element ("/a/b/" gives "b"); a path without separators is returned
// as it is.
std::string FileNamePart(const std::string& path);
// The name of a file or folder of this system, as text to show or store: only "/" separates,
// and a name that is not UTF-8 comes as the desktop shows it. The root has no name ("").
std::string LocalFileName(const std::string& path);

// `path` without the separators at its end; "/" stays "/".
std::string WithoutTrailingSlash(std::string path);
// `folder` + "/" + `name`, without doubling a separator.
std::string JoinPath(const std::string& folder, const std::string& name);
// A file-name pattern ("*.url") that matches without regard to ASCII letter case
// ("*.[uU][rR][lL]"), for pattern matchers that know only bracket classes. File names that came
// from Windows keep whatever case their creator gave them.
std::string CaseInsensitivePattern(const std::string& pattern);

}  // namespace tarvik
