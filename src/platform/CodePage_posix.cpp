// GBK <-> UTF-16 through glibc iconv "CP936", which maps 0x80 to U+20AC as Windows does.
#include <iconv.h>

#include <cerrno>

#include "CodePage.h"

namespace vardex {
namespace {

// iconv_open is costly; each thread keeps one descriptor per direction for the whole run.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // On a sequence it cannot convert, onBad(src, left, out) consumes it or gives up (false).
    template <typename OnBad>
    bool Run(const char* in, size_t inLeft, std::string& out, OnBad onBad) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t used = 0;
        out.resize(inLeft * 2 + 16);
        for (;;) {
            char* dst = out.data() + used;
            size_t dstLeft = out.size() - used;
            const size_t result = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            used = static_cast<size_t>(dst - out.data());
            if (result != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2 + 16);
                continue;
            }
            // EILSEQ, or EINVAL for an incomplete sequence at the end.
            out.resize(used);
            if (!onBad(src, inLeft, out)) {
                return false;
            }
            used = out.size();
            out.resize(used + inLeft * 2 + 16);
        }
        out.resize(used);
        return true;
    }

private:
    iconv_t cd_;
};

Converter& FromGbk() {
    thread_local Converter converter("UTF-16LE", "CP936");
    return converter;
}

Converter& ToGbk() {
    thread_local Converter converter("CP936", "UTF-16LE");
    return converter;
}

std::u16string FromBytes(const std::string& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

std::string ToBytes(std::u16string_view text) {
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return bytes;
}

void AppendUnit(std::string& out, char16_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::optional<std::u16string> GbkToUtf16(std::string_view gbk) {
    std::string out;
    if (!FromGbk().Run(gbk.data(), gbk.size(), out,
                       [](char*&, size_t&, std::string&) { return false; })) {
        return std::nullopt;
    }
    return FromBytes(out);
}

std::u16string GbkToUtf16Lossy(std::string_view gbk) {
    std::string out;
    FromGbk().Run(gbk.data(), gbk.size(), out, [](char*& src, size_t& left, std::string& o) {
        AppendUnit(o, u'\uFFFD');
        ++src;
        --left;
        return true;
    });
    return FromBytes(out);
}

std::optional<std::string> Utf16ToGbk(std::u16string_view text) {
    const std::string bytes = ToBytes(text);
    std::string out;
    if (!ToGbk().Run(bytes.data(), bytes.size(), out,
                     [](char*&, size_t&, std::string&) { return false; })) {
        return std::nullopt;
    }
    return out;
}

std::string Utf16ToGbkLossy(std::u16string_view text) {
    const std::string bytes = ToBytes(text);
    std::string out;
    ToGbk().Run(bytes.data(), bytes.size(), out, [](char*& src, size_t& left, std::string& o) {
        o.push_back('?');
        const size_t skip = left >= 2 ? 2 : left;
        src += skip;
        left -= skip;
        return true;
    });
    return out;
}

}  // namespace vardex
