#include "controls/Cp932Text.h"

#include "text/Cp932.h"

QString FromCp932(std::string_view bytes) {
    const std::u16string utf16 = cp932::toUtf16(bytes);
    return QString(reinterpret_cast<const QChar*>(utf16.data()), qsizetype(utf16.size()));
}

std::string ToCp932(const QString& text) {
    return cp932::fromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}
