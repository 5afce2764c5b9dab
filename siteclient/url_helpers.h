#pragma once
// The two exchanges of the site client: does an address answer with status 200,
// and what text does it send back.

#include <string>

#include "platform/http_ops.h"

namespace proclens {

// True only when the final reply (redirects followed) has status 200; the body
// is never read.
bool UrlExists(HttpOps& http, const std::string& agent, const std::string& address);

// The reply body as text, read 1024 bytes at a time until a read delivers nothing
// or fails; every byte is kept, zero bytes included. Reading stops after
// kHttpBodyLimit bytes, so a site cannot fill the memory. Empty when nothing came.
std::string FetchUrlText(HttpOps& http, const std::string& agent, const std::string& address);

// The text as one path segment of an address: letters, digits and the marks
// a segment may hold as they stand are kept; every other byte (blanks, '%',
// '/', '?', '#', bytes outside ASCII) becomes %XX.
std::string PercentEncodePathSegment(const std::string& text);

}  // namespace proclens
