#pragma once
// The address rewrites of the offline page: the template's image addresses
// pointed at the images inside the program file, "res://" + program path +
// "/TYPE/NAME".

#include <functional>
#include <string>

namespace proclens {

// The seven rewrites, in order, every occurrence, letters compared without
// regard to case: "/GIF/DOWNLOAD", "/GIF/AWARDS", site base + "img/bg",
// "img/space.jpg" and "img/" become res:// addresses, and a ".jpg" or ".gif"
// that ends the resource name of such an address is taken off.
//
// program_path gives the program's path as it stands; it is asked for afresh
// for each rewrite that inserts it. The path is kept whole: no later rewrite
// or extension removal looks inside it, and it is escaped for where it
// stands, for CSS inside the page's style element and for HTML everywhere
// else, so that every address of the page names the same file.
std::string RewriteAddresses(const std::string& page, const std::function<std::string()>& program_path,
                             const std::string& site_base,
                             const std::function<std::string(std::string)>& upper_case);

}  // namespace proclens
