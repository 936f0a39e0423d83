#include "Codepage.h"

#include <cerrno>
#include <iconv.h>

namespace vesk {

namespace {

bool isAscii(const char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}

// One conversion descriptor per direction and thread; iconv_open is costly
// and documents hold many names.
class Converter {
public:
    Converter(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns the number of input bytes used.
    // Stops at the first sequence it cannot convert.
    size_t convert(const char* in, size_t inLen, QByteArray& out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t left = inLen;
        char buf[1024];
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            const size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, dst - buf);
            if (r == size_t(-1) && errno != E2BIG)
                break;
        }
        return inLen - left;
    }
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

private:
    iconv_t cd_;
};

Converter& decoder()
{
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}
Converter& encoder()
{
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

QString fromUtf16le(const QByteArray& b)
{
    return QString(reinterpret_cast<const QChar*>(b.constData()), b.size() / 2);
}

} // namespace

QString DecodeAnsi(const QByteArray& bytes)
{
    if (isAscii(bytes.constData(), bytes.size()))
        return QString::fromLatin1(bytes);
    Converter& c = decoder();
    QString result;
    const char* p = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        QByteArray utf16;
        const size_t used = c.valid() ? c.convert(p, left, utf16) : 0;
        result += fromUtf16le(utf16);
        p += used;
        left -= used;
        if (left > 0) {
            // Not CP932: keep the byte as an escape so that encoding restores it.
            result += QChar(char16_t(0xDC00 | static_cast<unsigned char>(*p)));
            ++p;
            --left;
        }
    }
    return result;
}

QByteArray EncodeAnsi(const QString& text)
{
    bool ascii = true;
    for (QChar ch : text)
        if (ch.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return text.toLatin1();

    // The low half of a surrogate pair (U+1F480 is D83D DC80) is a character, not an escape.
    const auto isEscape = [&text](qsizetype k) {
        const char16_t u = text.at(k).unicode();
        return u >= 0xDC80 && u <= 0xDCFF && !(k > 0 && text.at(k - 1).isHighSurrogate());
    };
    Converter& c = encoder();
    QByteArray out;
    qsizetype i = 0;
    while (i < text.size()) {
        if (isEscape(i)) {
            out.append(char(text.at(i).unicode() & 0xFF));
            ++i;
            continue;
        }
        // Convert the run up to the next escape in one call.
        qsizetype j = i;
        while (j < text.size() && !isEscape(j))
            ++j;
        const char* run = reinterpret_cast<const char*>(text.constData() + i);
        const size_t runLen = size_t(j - i) * 2;
        size_t done = 0;
        while (done < runLen) {
            const size_t used = c.valid() ? c.convert(run + done, runLen - done, out) : 0;
            done += used;
            if (done < runLen) {
                out.append('?'); // a character CP932 cannot hold, surrogate pairs as one
                const qsizetype at = i + qsizetype(done / 2);
                const bool pair
                    = at + 1 < j && text.at(at).isHighSurrogate() && text.at(at + 1).isLowSurrogate();
                done += pair ? 4 : 2;
            }
        }
        i = j;
    }
    return out;
}

} // namespace vesk
