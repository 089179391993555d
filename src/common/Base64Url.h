// Base64 with the URL- and form-safe alphabet ("-" and "_" for 62 and 63) and no padding, for
// binary payloads that travel inside form fields and file lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string Base64UrlEncode(std::string_view bytes);
// Nothing for a character outside the alphabet (padding included) or a length that no
// encoding produces (one character left over).
std::optional<std::string> Base64UrlDecode(std::string_view text);
