#pragma once
// Passes another device's bytes on to an XML reader and refuses the document as soon as one
// piece of it grows beyond what a log packet can hold: a tag (an element with all its
// attributes), a text run, a comment or CDATA section longer than kMaxTokenBytes, more
// than kMaxAttributes attributes on one element, or elements nested deeper than kMaxDepth.
// This keeps memory bounded on a file with no end (a sparse file, a device) and keeps out
// the elements with thousands of attributes on which the XML reader takes quadratic time.
// A DOCTYPE is refused too: the packet has none, and it would bring entity declarations.
#include <QIODevice>

#include <cstddef>
#include <string>

namespace varnex {

class XmlSizeGuard final : public QIODevice {
public:
    static constexpr std::size_t kMaxTokenBytes = 64u << 10;
    static constexpr int kMaxAttributes = 32; // a row: seven fields, RowState and a few more
    static constexpr int kMaxDepth = 32;

    explicit XmlSizeGuard(QIODevice& source);

    bool isSequential() const override { return true; }
    bool refused() const { return refused_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class State { Text, TagStart, Tag, Quoted, Bang, Comment, CData, Instruction };

    bool scan(const char* data, std::size_t size); // false once a limit is passed
    bool step(char c);
    bool closeTag();

    QIODevice& source_;
    State state_ = State::Text;
    std::size_t tokenBytes_ = 0;
    int attributes_ = 0;
    int depth_ = 0;
    bool endTag_ = false;
    char quote_ = 0;
    char last_ = 0;     // previous byte of the current token
    char beforeLast_ = 0;
    std::string bang_;  // what follows "<!" until comment or CDATA is told apart
    bool refused_ = false;
};

} // namespace varnex
