#include "GbkQt.h"

#include "platform/CodePage.h"

namespace vardex {

QString ToQString(std::string_view gbk) {
    bool ascii = true;
    for (char c : gbk) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
    }
    const std::u16string wide = GbkToUtf16Lossy(gbk);
    return QString(reinterpret_cast<const QChar*>(wide.data()),
                   static_cast<qsizetype>(wide.size()));
}

std::optional<std::string> ToGbk(const QString& text) {
    return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                          static_cast<size_t>(text.size())));
}

QString FirstNonGbkCharacter(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!ToGbk(character)) {
            return character;
        }
        i += length - 1;
    }
    return QString();
}

}  // namespace vardex
