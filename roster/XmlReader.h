// A pull reader for the XML of .xlsx parts (UTF-8), fed in pieces. It holds the markup at hand and
// a piece of text, never a whole element or part, so that a part of any size is read in little
// memory; what is not well-formed ends the reading with Token::Invalid.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

namespace lumo::roster::xml {

class Reader
{
public:
    // Puts up to size bytes of the document into buffer: their count, 0 at the end, -1 when
    // the document cannot be read.
    using Source = std::function<qint64(char *buffer, qint64 size)>;

    enum class Token { StartElement, EndElement, Text, End, Invalid };

    struct Attribute
    {
        QByteArray name;  // as written, with any prefix
        QByteArray value; // entities resolved
        qint64 begin = 0; // name="value" in the document
        qint64 end = 0;
    };

    explicit Reader(Source source);
    // A document held in memory; it must outlive the reader.
    explicit Reader(QByteArrayView document);

    Token next();

    // StartElement and EndElement: the element's name as written and without its prefix, and
    // its depth (the root's is 1). An element written as <x/> gives both tokens.
    const QByteArray &name() const { return m_name; }
    QByteArrayView localName() const;
    int depth() const { return m_depth; }
    bool isEmptyElement() const { return m_emptyElement; }
    const std::vector<Attribute> &attributes() const { return m_attributes; }
    // The value of the attribute with this name without its prefix; empty when there is none.
    QByteArray attribute(QByteArrayView localName) const;

    // Text: a piece of an element's text or CDATA section, entities resolved.
    const QByteArray &text() const { return m_text; }

    // The token's markup in the document, in bytes: [begin, end). The end of an element written
    // as <x/> is empty, at the end of its start tag.
    qint64 begin() const { return m_begin; }
    qint64 end() const { return m_end; }

private:
    bool fill(qsizetype wanted);
    char at(qsizetype i) const { return m_buffer[m_at + i]; }
    qint64 offset(qsizetype i) const { return m_offset + m_at + i; }
    bool startsWith(QByteArrayView text);
    bool skipPast(QByteArrayView end);
    bool skipDeclaration();
    qsizetype findClose(bool quoted);
    Token fail();
    Token readText();
    Token readCdata();
    Token readStartTag();
    Token readEndTag();
    bool parseAttributes(qsizetype from, qsizetype to);

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_at = 0;   // the next byte in m_buffer
    qint64 m_offset = 0;  // of m_buffer[0] in the document
    bool m_atEnd = false; // the source has no more bytes
    bool m_failed = false;
    bool m_inCdata = false;
    bool m_pendingEnd = false;
    bool m_sawRoot = false;
    std::vector<QByteArray> m_open;

    QByteArray m_name;
    int m_depth = 0;
    bool m_emptyElement = false;
    std::vector<Attribute> m_attributes;
    QByteArray m_text;
    qint64 m_begin = 0;
    qint64 m_end = 0;
};

} // namespace lumo::roster::xml
