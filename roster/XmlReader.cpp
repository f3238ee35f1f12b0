#include "roster/XmlReader.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace lumo::roster::xml {

namespace {

constexpr qsizetype kChunk = 64 * 1024;
// A start tag with its attributes, a declaration: parts that Excel and its peers write keep
// each far below this.
constexpr qsizetype kLongestMarkup = 1024 * 1024;
constexpr int kDeepest = 256;
// "&#x10FFFF;" and the named entities fit.
constexpr qsizetype kLongestEntity = 12;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameChar(char c)
{
    return !isSpace(c) && !std::strchr("/>=<\"'&", c) && c != '\0';
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The character an entity stands for ("lt", "#60", "#x3C"), or 0.
char32_t entityValue(QByteArrayView name)
{
    static const std::pair<const char *, char> named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto &[text, value] : named) {
        if (name == text)
            return char32_t(value);
    }
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x';
    bool ok = false;
    const unsigned value = name.sliced(hex ? 2 : 1).toByteArray().toUInt(&ok, hex ? 16 : 10);
    if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return char32_t(value);
}

// Text with its entities resolved and its line breaks as "\n"; an entity that is not one stays
// as it is written.
void decode(QByteArrayView raw, QByteArray &out)
{
    out.reserve(out.size() + raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            if (i + 1 >= raw.size() || raw[i + 1] != '\n')
                out += '\n';
            continue;
        }
        if (c == '&') {
            const qsizetype semicolon = raw.indexOf(';', i);
            if (semicolon > i && semicolon - i <= kLongestEntity) {
                if (const char32_t value = entityValue(raw.sliced(i + 1, semicolon - i - 1))) {
                    appendUtf8(out, value);
                    i = semicolon;
                    continue;
                }
            }
        }
        out += c;
    }
}

} // namespace

Reader::Reader(Source source) : m_source(std::move(source)) {}

Reader::Reader(QByteArrayView document)
{
    auto read = std::make_shared<qsizetype>(0);
    m_source = [document, read](char *buffer, qint64 size) {
        const qint64 count = std::min<qint64>(size, document.size() - *read);
        std::memcpy(buffer, document.data() + *read, std::size_t(count));
        *read += count;
        return count;
    };
}

QByteArrayView Reader::localName() const
{
    const qsizetype colon = m_name.lastIndexOf(':');
    return QByteArrayView(m_name).sliced(colon + 1);
}

QByteArray Reader::attribute(QByteArrayView localName) const
{
    for (const Attribute &a : m_attributes) {
        const qsizetype colon = a.name.lastIndexOf(':');
        if (QByteArrayView(a.name).sliced(colon + 1) == localName)
            return a.value;
    }
    return {};
}

// Makes at least wanted bytes after m_at available, unless the document ends first.
bool Reader::fill(qsizetype wanted)
{
    while (m_buffer.size() - m_at < wanted && !m_atEnd) {
        if (m_at > 0) {
            m_buffer.remove(0, m_at);
            m_offset += m_at;
            m_at = 0;
        }
        const qsizetype had = m_buffer.size();
        m_buffer.resize(had + kChunk);
        const qint64 got = m_source(m_buffer.data() + had, kChunk);
        m_buffer.resize(had + std::max<qint64>(got, 0));
        if (got <= 0) {
            m_atEnd = true;
            m_failed = m_failed || got < 0;
        }
    }
    return m_buffer.size() - m_at >= wanted;
}

bool Reader::startsWith(QByteArrayView text)
{
    return fill(text.size()) && QByteArrayView(m_buffer).sliced(m_at).startsWith(text);
}

bool Reader::skipPast(QByteArrayView end)
{
    for (;;) {
        fill(end.size());
        const qsizetype found = QByteArrayView(m_buffer).sliced(m_at).indexOf(end);
        if (found >= 0) {
            m_at += found + end.size();
            return true;
        }
        if (m_atEnd)
            return false;
        // Keep what could be the start of the end.
        m_at = std::max(m_at, m_buffer.size() - end.size() + 1);
        fill(m_buffer.size() - m_at + 1);
    }
}

// <!DOCTYPE ...> with any internal subset in brackets.
bool Reader::skipDeclaration()
{
    int brackets = 0;
    char quote = 0;
    for (qsizetype i = 2; i < kLongestMarkup && fill(i + 1); ++i) {
        const char c = at(i);
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            m_at += i + 1;
            return true;
        }
    }
    return false;
}

Reader::Token Reader::fail()
{
    m_failed = true;
    return Token::Invalid;
}

Reader::Token Reader::next()
{
    m_text.clear();
    m_attributes.clear();
    m_emptyElement = false;
    if (m_failed)
        return Token::Invalid;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_depth = int(m_open.size());
        m_open.pop_back();
        m_begin = m_end;
        return Token::EndElement;
    }
    for (;;) {
        if (m_inCdata)
            return readCdata();
        if (!fill(1))
            return m_failed || !m_open.empty() || !m_sawRoot ? fail() : Token::End;
        if (m_offset + m_at == 0 && startsWith("\xEF\xBB\xBF")) {
            m_at += 3;
            continue;
        }
        if (at(0) != '<') {
            const Token token = readText();
            if (token == Token::Text && m_open.empty()) {
                if (std::any_of(m_text.begin(), m_text.end(), [](char c) { return !isSpace(c); }))
                    return fail();
                continue;
            }
            return token;
        }
        if (!fill(2))
            return fail();
        if (at(1) == '/')
            return readEndTag();
        if (at(1) != '!' && at(1) != '?')
            return readStartTag();
        if (startsWith("<!--")) {
            if (!skipPast("-->"))
                return fail();
        } else if (startsWith("<![CDATA[")) {
            if (m_open.empty())
                return fail();
            m_at += 9;
            m_inCdata = true;
        } else if (at(1) == '?') {
            if (!skipPast("?>"))
                return fail();
        } else if (!skipDeclaration()) {
            return fail();
        }
    }
}

// The position of the '>' that closes the markup at m_at, outside quoted values when quoted;
// -1 when there is none within kLongestMarkup.
qsizetype Reader::findClose(bool quoted)
{
    char quote = 0;
    for (qsizetype i = 1; i < kLongestMarkup;) {
        if (!fill(i + 1))
            return -1;
        const char *data = m_buffer.constData() + m_at;
        const qsizetype available = std::min(m_buffer.size() - m_at, kLongestMarkup);
        for (; i < available; ++i) {
            const char c = data[i];
            if (quote) {
                quote = c == quote ? 0 : quote;
            } else if (c == '>') {
                return i;
            } else if (quoted && (c == '"' || c == '\'')) {
                quote = c;
            } else if (c == '<') {
                return -1;
            }
        }
    }
    return -1;
}

Reader::Token Reader::readText()
{
    fill(kChunk);
    const qsizetype available = std::min(m_buffer.size() - m_at, kChunk);
    const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_at, available);
    qsizetype length = rest.indexOf('<');
    if (length < 0) {
        // The piece ends before the text does: not inside an entity or a line break.
        length = available;
        const qsizetype ampersand = rest.lastIndexOf('&');
        if (ampersand > 0 && available - ampersand <= kLongestEntity &&
            rest.sliced(ampersand).indexOf(';') < 0)
            length = ampersand;
        if (length > 1 && rest[length - 1] == '\r')
            --length;
    }
    m_begin = offset(0);
    decode(rest.first(length), m_text);
    m_at += length;
    m_end = offset(0);
    return Token::Text;
}

Reader::Token Reader::readCdata()
{
    fill(kChunk);
    const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_at);
    const qsizetype close = rest.indexOf("]]>");
    if (close < 0 && m_atEnd)
        return fail();
    // Without the end in sight, "]]" at the very end may be its start.
    const qsizetype length = close >= 0 ? close : std::max<qsizetype>(rest.size() - 2, 0);
    m_begin = offset(0);
    m_text = rest.first(length).toByteArray();
    m_at += length;
    if (close >= 0) {
        m_at += 3;
        m_inCdata = false;
    }
    m_end = offset(0);
    return Token::Text;
}

Reader::Token Reader::readStartTag()
{
    if (m_sawRoot && m_open.empty())
        return fail(); // a second root
    const qsizetype close = findClose(true);
    if (close < 0)
        return fail();
    qsizetype nameEnd = 1;
    while (nameEnd < close && isNameChar(at(nameEnd)))
        ++nameEnd;
    m_emptyElement = at(close - 1) == '/';
    const qsizetype attributesEnd = m_emptyElement ? close - 1 : close;
    if (nameEnd == 1 || nameEnd > attributesEnd ||
        (nameEnd < attributesEnd && !isSpace(at(nameEnd))) ||
        !parseAttributes(nameEnd, attributesEnd) || int(m_open.size()) >= kDeepest)
        return fail();
    m_name = QByteArray(m_buffer.constData() + m_at + 1, nameEnd - 1);
    m_open.push_back(m_name);
    m_sawRoot = true;
    m_depth = int(m_open.size());
    m_pendingEnd = m_emptyElement;
    m_begin = offset(0);
    m_at += close + 1;
    m_end = offset(0);
    return Token::StartElement;
}

// name="value" pairs, each after white space, in the tag's bytes [from, to).
bool Reader::parseAttributes(qsizetype from, qsizetype to)
{
    qsizetype i = from;
    for (;;) {
        const qsizetype before = i;
        while (i < to && isSpace(at(i)))
            ++i;
        if (i == to)
            return true;
        if (i == before)
            return false;
        Attribute attribute;
        attribute.begin = offset(i);
        const qsizetype nameBegin = i;
        while (i < to && isNameChar(at(i)))
            ++i;
        if (i == nameBegin)
            return false;
        attribute.name = QByteArray(m_buffer.constData() + m_at + nameBegin, i - nameBegin);
        while (i < to && isSpace(at(i)))
            ++i;
        if (i == to || at(i) != '=')
            return false;
        ++i;
        while (i < to && isSpace(at(i)))
            ++i;
        if (i == to || (at(i) != '"' && at(i) != '\''))
            return false;
        const char quote = at(i++);
        const qsizetype valueBegin = i;
        while (i < to && at(i) != quote) {
            if (at(i) == '<')
                return false;
            ++i;
        }
        if (i == to)
            return false;
        decode(QByteArrayView(m_buffer).sliced(m_at + valueBegin, i - valueBegin), attribute.value);
        ++i;
        attribute.end = offset(i);
        m_attributes.push_back(std::move(attribute));
    }
}

Reader::Token Reader::readEndTag()
{
    const qsizetype close = findClose(false);
    if (close < 0 || m_open.empty())
        return fail();
    QByteArrayView name = QByteArrayView(m_buffer).sliced(m_at + 2, close - 2);
    while (!name.isEmpty() && isSpace(name.back()))
        name.chop(1);
    if (name != m_open.back())
        return fail();
    m_name = m_open.back();
    m_depth = int(m_open.size());
    m_open.pop_back();
    m_begin = offset(0);
    m_at += close + 1;
    m_end = offset(0);
    return Token::EndElement;
}

} // namespace lumo::roster::xml
