#pragma once

#include <QString>

class QFontMetrics;

// The data-folder text of the status bar: path shortened to fit maxWidth pixels. Leading
// folder names are dropped one at a time behind "..." while the first folder and the last
// part stay ("/home/.../mail"). When even that is too wide it is returned as it is.
QString ShortenFolderText(const QString& path, const QFontMetrics& metrics, int maxWidth);
