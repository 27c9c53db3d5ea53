// On Windows, narrow strings in this program are UTF-8, as everywhere else: a file name given on
// the command line or read from a file is turned into a path, and a path into a message, by the
// C++ library through mbrtowc and wcrtomb, which the C runtime does in the "C" locale byte by
// byte (Latin-1), failing on any letter beyond it. These replace them for the whole program (the
// linker takes them before the runtime's, see src/CMakeLists.txt), so "Łódź" reaches the system
// as "Łódź". Characters beyond the 16-bit range travel as surrogate pairs.
#ifdef _WIN32

#include <cerrno>
#include <cstddef>
#include <cwchar>

namespace {

constexpr std::size_t kInvalid = static_cast<std::size_t>(-1);
constexpr std::size_t kIncomplete = static_cast<std::size_t>(-2);

// The state remembers a low surrogate still to be given out (mbrtowc), or a high one waiting for
// its pair (wcrtomb).
int g_ownState = 0;

std::size_t Invalid()
{
    errno = EILSEQ;
    return kInvalid;
}

}  // namespace

extern "C" {

std::size_t mbrtowc(wchar_t* out, const char* in, std::size_t n, std::mbstate_t* state)
{
    int* pending = state ? reinterpret_cast<int*>(state) : &g_ownState;
    if (!in) {
        *pending = 0;
        return 0;
    }
    if (n == 0)
        return kIncomplete;
    const auto* s = reinterpret_cast<const unsigned char*>(in);
    if (*pending) {
        // The fourth byte of a 4-byte letter: its second half, given out now.
        if ((s[0] & 0xC0) != 0x80)
            return Invalid();
        if (out)
            *out = static_cast<wchar_t>(*pending);
        *pending = 0;
        return 1;
    }
    if (s[0] < 0x80) {
        if (out)
            *out = static_cast<wchar_t>(s[0]);
        return s[0] ? 1 : 0;
    }
    std::size_t length;
    char32_t c;
    if ((s[0] & 0xE0) == 0xC0) {
        length = 2;
        c = s[0] & 0x1F;
    } else if ((s[0] & 0xF0) == 0xE0) {
        length = 3;
        c = s[0] & 0x0F;
    } else if ((s[0] & 0xF8) == 0xF0) {
        length = 4;
        c = s[0] & 0x07;
    } else {
        return Invalid();
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= n)
            return kIncomplete;
        if ((s[i] & 0xC0) != 0x80)
            return Invalid();
        c = (c << 6) | (s[i] & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return Invalid();
    if (c < 0x10000) {
        if (out)
            *out = static_cast<wchar_t>(c);
        return length;
    }
    // Two UTF-16 units for one letter: the first for the first three bytes, the second for the last.
    c -= 0x10000;
    if (out)
        *out = static_cast<wchar_t>(0xD800 + (c >> 10));
    *pending = static_cast<int>(0xDC00 + (c & 0x3FF));
    return 3;
}

std::size_t mbrlen(const char* in, std::size_t n, std::mbstate_t* state)
{
    return mbrtowc(nullptr, in, n, state);
}

std::size_t mbsrtowcs(wchar_t* out, const char** in, std::size_t length, std::mbstate_t* state)
{
    std::size_t written = 0;
    const char* s = *in;
    while (!out || written < length) {
        wchar_t w = 0;
        const std::size_t used = mbrtowc(&w, s, 4, state);
        if (used == kInvalid || used == kIncomplete) {
            *in = s;
            return kInvalid;
        }
        if (used == 0) {
            if (out) {
                out[written] = 0;
                *in = nullptr;
            }
            return written;
        }
        if (out)
            out[written] = w;
        ++written;
        s += used;
    }
    *in = s;
    return written;
}

std::size_t wcrtomb(char* out, wchar_t w, std::mbstate_t* state)
{
    int* high = state ? reinterpret_cast<int*>(state) : &g_ownState;
    if (!out) {
        *high = 0;
        return 1;
    }
    char32_t c = static_cast<char16_t>(w);
    if (c >= 0xD800 && c <= 0xDBFF) {
        if (*high)
            return Invalid();
        *high = static_cast<int>(c);
        return 0;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (!*high)
            return Invalid();
        c = 0x10000 + ((static_cast<char32_t>(*high) - 0xD800) << 10) + (c - 0xDC00);
        *high = 0;
    } else if (*high) {
        return Invalid();
    }
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

std::size_t wcsrtombs(char* out, const wchar_t** in, std::size_t length, std::mbstate_t* state)
{
    std::size_t written = 0;
    const wchar_t* s = *in;
    for (;; ++s) {
        char bytes[4];
        const std::size_t n = wcrtomb(bytes, *s, state);
        if (n == kInvalid) {
            *in = s;
            return kInvalid;
        }
        if (*s == 0) {
            if (out) {
                if (written >= length)
                    break;
                out[written] = 0;
                *in = nullptr;
            }
            return written;
        }
        if (out && written + n > length)
            break;
        for (std::size_t i = 0; i < n; ++i)
            if (out)
                out[written + i] = bytes[i];
        written += n;
    }
    *in = s;
    return written;
}

}  // extern "C"

#endif  // _WIN32
