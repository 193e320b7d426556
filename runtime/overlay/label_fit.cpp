#include "runtime/overlay/label_fit.h"

namespace glimmerq {

namespace {

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string fitLabel(const std::string& text, float width, const std::function<float(const std::string&)>& measure) {
    if (measure(text) <= width) return text;
    // Widths grow with the head's length: the longest fitting head is found by halving.
    size_t low = 0, high = text.size();  // a head of `low` bytes fits; one of `high` does not
    while (high - low > 1) {
        const size_t middle = (low + high) / 2;
        if (measure(text.substr(0, middle) + kLabelEllipsis) <= width)
            low = middle;
        else
            high = middle;
    }
    while (low > 0 && low < text.size() && continuationByte(text[low])) --low;
    return low == 0 ? std::string() : text.substr(0, low) + kLabelEllipsis;
}

}  // namespace glimmerq
