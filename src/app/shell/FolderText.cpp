#include "shell/FolderText.h"

#include <QFontMetrics>
#include <QStringList>

QString ShortenFolderText(const QString& path, const QFontMetrics& metrics, int maxWidth) {
    if (metrics.horizontalAdvance(path) <= maxWidth)
        return path;

    // "/home/user/data/mail" splits into "", "home", "user", "data", "mail"; the head is
    // everything up to and including the first folder name.
    QStringList parts = path.split(QLatin1Char('/'));
    qsizetype headCount = 1;
    while (headCount < parts.size() && parts[headCount - 1].isEmpty())
        ++headCount;
    if (parts.size() - headCount < 2)
        return path;  // nothing between head and last part

    const QStringList head = parts.mid(0, headCount);
    const QString last = parts.last();
    QStringList middle = parts.mid(headCount, parts.size() - headCount - 1);
    QString text;
    while (!middle.isEmpty()) {
        middle.removeFirst();
        QStringList shown = head;
        shown << QStringLiteral("...");
        shown << middle;
        shown << last;
        text = shown.join(QLatin1Char('/'));
        if (metrics.horizontalAdvance(text) <= maxWidth)
            return text;
    }
    return text;
}
