// What the simulated operating system's shell agrees to open: web and mail addresses, nothing else.
#pragma once

#include "UniString.hpp"

#include <optional>
#include <string>

namespace Sim {

// Why the shell refuses to open `address` with `verb`; none for a web (http, https) or mail (mailto)
// address opened with "open". Files, scripts, programs and other schemes are never opened.
std::optional<std::string> ShellRefusal(const GS::UniString& verb, const GS::UniString& address);

// The text with control characters written as \xNN (\uNNNN past Latin-1), so it stays on one log line.
std::string Printable(const GS::UniString& text);

}  // namespace Sim
