#include "textdecoding.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// A text stream reads and decodes its device in chunks of this size; decoding in the
// same chunks gives the same result for every codec, valid input or not.
constexpr qsizetype streamChunk = 16384;

bool isAscii(const char *data, qsizetype size)
{
    quint64 bits = 0;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        bits |= word;
    }
    for (; i < size; ++i)
        bits |= quint8(data[i]);
    return (bits & 0x8080808080808080ULL) == 0;
}

// The first LF or CR in [from, end), or end.
const char *findBreak(const char *from, const char *end)
{
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        const int mask = _mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
        if (mask)
            return from + __builtin_ctz(unsigned(mask));
    }
#endif
    for (; from < end; ++from) {
        if (*from == '\n' || *from == '\r')
            return from;
    }
    return end;
}

const char16_t *findBreak(const char16_t *from, const char16_t *end)
{
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi16('\n');
    const __m128i cr = _mm_set1_epi16('\r');
    for (; end - from >= 8; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        const int mask = _mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi16(units, lf), _mm_cmpeq_epi16(units, cr)));
        if (mask)
            return from + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    for (; from < end; ++from) {
        if (*from == u'\n' || *from == u'\r')
            return from;
    }
    return end;
}

void widen(const char *from, qsizetype size, char16_t *to)
{
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (; i < size; ++i)
        to[i] = char16_t(quint8(from[i]));
}

void copy(const char16_t *from, qsizetype size, char16_t *to)
{
    std::memcpy(to, from, size_t(size) * sizeof(char16_t));
}

// Appends `text` to `out` with its line breaks removed. `pendingCr` carries a CR that
// may still turn out to start a CR LF pair.
template<typename Char>
qsizetype stripBreaks(const Char *text, qsizetype size, char16_t *out, bool &pendingCr)
{
    char16_t *const start = out;
    const Char *const end = text + size;
    while (text < end) {
        const Char *brk = findBreak(text, end);
        if (brk > text) {
            if (pendingCr) {
                *out++ = u'\r';
                pendingCr = false;
            }
            if constexpr (sizeof(Char) == 1)
                widen(text, brk - text, out);
            else
                copy(text, brk - text, out);
            out += brk - text;
        }
        if (brk == end)
            break;
        if (*brk == '\n') {
            pendingCr = false;
        } else {
            if (pendingCr)
                *out++ = u'\r';
            pendingCr = true;
        }
        text = brk + 1;
    }
    return out - start;
}

} // namespace

QString localText(const char *data, qsizetype size)
{
    const void *nul = std::memchr(data, 0, size_t(size));
    const qsizetype length = nul ? static_cast<const char *>(nul) - data : size;
    return QTextCodec::codecForLocale()->toUnicode(data, int(length));
}

LocalTextDecoder::LocalTextDecoder()
    : mCodec(QTextCodec::codecForLocale()),
      mIncremental(mCodec->mibEnum() == 106)
{
}

void LocalTextDecoder::feed(const char *data, qsizetype size)
{
    if (mEnded)
        return;
    if (const void *nul = std::memchr(data, 0, size_t(size))) {
        size = static_cast<const char *>(nul) - data;
        mEnded = true;
    }
    if (!mIncremental) {
        mPending.append(data, int(size));
        return;
    }
    // Between two ASCII bytes a UTF-8 decoder holds no partial sequence, and the text after
    // them cannot start with a byte order mark: decoding the bytes on either side apart
    // gives what decoding them together gives. Split at the last such place.
    qsizetype split = size - 1;
    for (; split >= 0; --split) {
        const bool before = split > 0 ? quint8(data[split - 1]) < 0x80
                                      : !mPending.isEmpty() && quint8(mPending.back()) < 0x80;
        if (before && quint8(data[split]) < 0x80)
            break;
    }
    if (split < 0) {
        mPending.append(data, int(size));
        return;
    }
    if (mPending.isEmpty()) {
        append(data, split);
    } else {
        mPending.append(data, int(split));
        append(mPending.constData(), mPending.size());
        mPending.clear();
    }
    mPending.append(data + split, int(size - split));
}

QString LocalTextDecoder::finish()
{
    if (!mPending.isEmpty() || mText.isNull())
        append(mPending.constData(), mPending.size());
    mPending.clear();
    return std::move(mText);
}

void LocalTextDecoder::append(const char *data, qsizetype size)
{
    // Pieces start and end at clean places, so ASCII decodes to itself.
    if (mIncremental && size > 0 && isAscii(data, size)) {
        const qsizetype length = mText.size();
        mText.resize(int(length + size));
        widen(data, size, reinterpret_cast<char16_t *>(mText.data()) + length);
    } else if (mText.isNull()) {
        mText = mCodec->toUnicode(data, int(size));
    } else {
        mText += mCodec->toUnicode(data, int(size));
    }
}

JoinedLinesDecoder::JoinedLinesDecoder(qint64 expectedBytes)
    : mExpectedBytes(expectedBytes)
{
}

void JoinedLinesDecoder::feed(const char *data, qsizetype size)
{
    if (!mPending.isEmpty()) {
        const qsizetype take = qMin(size, streamChunk - mPending.size());
        mPending.append(data, int(take));
        data += take;
        size -= take;
        if (mPending.size() < streamChunk)
            return;
        decodeChunk(mPending.constData(), mPending.size());
        mPending.clear();
    }
    for (; size >= streamChunk; data += streamChunk, size -= streamChunk)
        decodeChunk(data, streamChunk);
    if (size > 0)
        mPending.append(data, int(size));
}

QString JoinedLinesDecoder::finish()
{
    if (!mPending.isEmpty())
        decodeChunk(mPending.constData(), mPending.size());
    mPending.clear();
    // A CR that ends the data ends a line, like a line break: mPendingCr is dropped.
    if (mText.isNull())
        return QString();
    mText.resize(int(mLength));
    mText.squeeze();
    return std::move(mText);
}

void JoinedLinesDecoder::reserveFor(qsizetype moreChars)
{
    const qsizetype needed = mLength + moreChars;
    if (needed <= mText.size())
        return;
    // At first room for the whole input (no codec makes more characters than bytes), then
    // half as much again each time. Room that is never written to is never touched, so it
    // costs address space, not memory.
    qsizetype capacity = mText.size() + mText.size() / 2;
    if (mText.isEmpty())
        capacity = qMax<qsizetype>(capacity, qsizetype(mExpectedBytes) + 1);
    mText.resize(int(qMax(capacity, needed)));
}

void JoinedLinesDecoder::decodeChunk(const char *data, qsizetype size)
{
    if (!mCodec) {
        // As a text stream does: a byte order mark in the first chunk picks the codec.
        mCodec = QTextCodec::codecForUtfText(QByteArray::fromRawData(data, int(size)), nullptr);
        if (!mCodec)
            mCodec = QTextCodec::codecForLocale();
        mUtf8 = mCodec->mibEnum() == 106;
        if (mText.isNull())
            mText = QString(0, Qt::Uninitialized);
        // The first chunk always goes through the codec, which drops the byte order mark.
        const QString text = mCodec->toUnicode(data, int(size), &mState);
        reserveFor(text.size() + 1);
        mLength += stripBreaks(reinterpret_cast<const char16_t *>(text.constData()), text.size(),
                               reinterpret_cast<char16_t *>(mText.data()) + mLength, mPendingCr);
        return;
    }
    // ASCII decodes to itself in UTF-8 when no partial sequence is waiting in the state.
    if (mUtf8 && mState.remainingChars == 0 && isAscii(data, size)) {
        reserveFor(size + 1);
        mLength += stripBreaks(data, size, reinterpret_cast<char16_t *>(mText.data()) + mLength,
                               mPendingCr);
        return;
    }
    const QString text = mCodec->toUnicode(data, int(size), &mState);
    reserveFor(text.size() + 1);
    mLength += stripBreaks(reinterpret_cast<const char16_t *>(text.constData()), text.size(),
                           reinterpret_cast<char16_t *>(mText.data()) + mLength, mPendingCr);
}
