#pragma once

#include <QString>
#include <string>

// File paths between the windows and the engines: the engines take the bytes the file
// system uses (QFile's local 8-bit encoding), not cp932 text.
std::string ToNativePath(const QString& path);
QString FromNativePath(const std::string& path);
