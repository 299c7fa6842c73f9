#include "RecordText.h"

#include "BufferedWriter.h"

#include <algorithm>
#include <cstring>

void RecordText::grow(std::size_t n) {
    const std::size_t capacity = std::max(2 * capacity_, used_ + n);
    std::unique_ptr<char[]> bytes(new char[capacity]);
    if (used_ != 0)
        std::memcpy(bytes.get(), bytes_.get(), used_);
    bytes_ = std::move(bytes);
    capacity_ = capacity;
}

void RecordText::write(const char *data, std::size_t n) {
    if (n == 0)
        return;
    std::memcpy(reserve(n), data, n);
    used_ += n;
}

void RecordText::writeTo(BufferedWriter &out) const {
    out.writeRecords(bytes_.get(), used_, ends_);
}
