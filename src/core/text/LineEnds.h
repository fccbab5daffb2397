#pragma once

#include <string>
#include <string_view>

// Internet messages end their lines with CR LF (RFC 5322, 2.3), and the message reader
// finds the end of the header block and every boundary by CR LF. Files written on Linux
// often end lines with LF alone; read as they stand, such a message would be all header
// and its body lost. The converters therefore give every lone LF (and lone CR) a CR LF
// before reading. Text that already has CR LF everywhere comes back unchanged.
std::string WithCrLfLineEnds(std::string_view text);
