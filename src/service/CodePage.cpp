#include "service/CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <vector>

namespace {

std::string CharsetOf(int codePage)
{
    switch (codePage) {
    case CP_ACP: {
        std::string codeset = nl_langinfo(CODESET);
        // The C locale reports ASCII; the program's own texts are UTF-8, so that is what it holds then.
        if (codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII")
            return "UTF-8";
        return codeset;
    }
    case CP_GBK:
        return "GBK";
    case CP_UTF8:
        return "UTF-8";
    default:
        return {};
    }
}

bool IsValidUtf8(const std::string& text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        unsigned char c = *p;
        int extra;
        char32_t min;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        char32_t cp = c & (0x3F >> extra);
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

class Iconv {
public:
    Iconv(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv()
    {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Decodes to UTF-32 code points; an undecodable byte becomes U+FFFD.
std::u32string Decode(const std::string& text, const std::string& charset)
{
    std::u32string result;
    Iconv cd("UTF-32LE", charset);
    if (!cd.ok())
        return result;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::vector<char32_t> buffer(text.size() + 4);
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(buffer.data());
        std::size_t outLeft = buffer.size() * sizeof(char32_t);
        std::size_t rc = iconv(cd.get(), &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), (buffer.size() * sizeof(char32_t) - outLeft) / sizeof(char32_t));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            result.push_back(U'\uFFFD');  // EILSEQ or a sequence cut at the end
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return result;
}

// Encodes UTF-32 code points; a character the charset lacks becomes "?".
std::string Encode(const std::u32string& text, const std::string& charset)
{
    std::string result;
    Iconv cd(charset, "UTF-32LE");
    if (!cd.ok())
        return result;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t inLeft = text.size() * sizeof(char32_t);
    std::vector<char> buffer(text.size() * 4 + 16);
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        std::size_t rc = iconv(cd.get(), &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), buffer.size() - outLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            result.push_back('?');
            in += sizeof(char32_t);
            inLeft -= inLeft >= sizeof(char32_t) ? sizeof(char32_t) : inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return result;
}

}  // namespace

std::string ConvertCodePage(const std::string& text, int sourceCodePage, int targetCodePage)
{
    std::string source = text.substr(0, std::strlen(text.c_str()));
    std::string from = CharsetOf(sourceCodePage);
    std::string to = CharsetOf(targetCodePage);
    if (from.empty() || to.empty())
        return {};
    // The common case on a UTF-8 desktop: nothing to convert once the text is known to be valid.
    if (from == "UTF-8" && to == "UTF-8" && IsValidUtf8(source))
        return source;
    return Encode(Decode(source, from), to);
}
