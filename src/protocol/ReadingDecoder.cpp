#include "protocol/ReadingDecoder.h"

namespace varnex {

ReadingDecoder::ReadingDecoder(std::string decimalSeparator) : separator_(std::move(decimalSeparator)) {}

const DecodeResult& ReadingDecoder::Decode(std::string_view frameText)
{
    DecodeFrameInto(frameText, separator_, result_);
    if (result_.decoded)
        ++decoded_;
    else
        ++dropped_;
    return result_;
}

} // namespace varnex
