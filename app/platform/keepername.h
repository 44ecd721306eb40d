#pragma once

// What the clipboard keeper and the window agree on without Qt: the keeper
// is a small program of its own that links nothing but xcb.

#include <string>
#include <string_view>

namespace huvolo {

// The X display of a display name, without the screen number
// ("host:1.2" is "host:1"): the clipboard belongs to the whole display.
std::string displayWithoutScreen(std::string_view display);

// The keepers' meeting place for one user and display, a name in the
// abstract socket namespace. The display enters as a SHA-256 digest of the
// whole name, so names of any length and content give names that no two
// displays share, and that fit an abstract socket address (at most 100
// bytes, within its 107) whatever the user id.
std::string keeperSocketName(std::string_view display, unsigned userId);

// The SHA-256 digest of `data` in lower-case hexadecimal.
std::string sha256Hex(std::string_view data);

} // namespace huvolo
