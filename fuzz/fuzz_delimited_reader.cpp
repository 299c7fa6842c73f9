// Arbitrary bytes as a delimited-text point list: read by the shared reader,
// whose blocks must cover the file in order with every coordinate text
// inside its block, then converted through the Gauss-Boaga chain. The first
// byte chooses what the command line would have given.
#include "DelimitedTextConverter.h"
#include "DelimitedTextReader.h"
#include "FuzzSupport.h"

#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

DelimitedTextRequest requestFrom(uint8_t choice) {
    DelimitedTextRequest request;
    constexpr char kSeparators[] = {0, ';', ',', '\t'};
    request.dialect.separator = kSeparators[choice & 3];
    request.dialect.decimalMark = (choice & 4) ? ',' : 0;
    if (choice & 8) {
        request.xColumn = "2";
        request.yColumn = (choice & 16) ? "3" : "Nord";
    }
    if (choice & 32)
        request.zColumn = (choice & 64) ? "0" : "4";
    return request;
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const DelimitedTextRequest request = requestFrom(data[0]);
    const auto input = fuzz::scratch() / "points.csv";
    const auto output = fuzz::scratch() / "points_out.csv";
    fuzz::writeFile(input, data + 1, size - 1);

    const int fd = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    DelimitedTextReader reader(request);
    if (reader.start(fd)) {
        std::size_t covered = 0;
        PointBlock block;
        while (reader.next(block)) {
            check(block.begin < block.end);
            covered += static_cast<std::size_t>(block.end - block.begin);
            for (const PointRecord &record : block.records) {
                check(record.start >= block.begin && record.start < block.end);
                for (int axis = 0; axis < 3; ++axis)
                    check(record.begin[axis] == nullptr ||
                          (record.begin[axis] >= record.start &&
                           record.end[axis] <= block.end));
            }
        }
        // Read to the end, or stopped with a reason.
        check(covered == size - 1 || !reader.problem().empty());
    }
    ::close(fd);

    DelimitedTextConverter converter(fuzz::gboScript());
    converter.setRequest(request);
    converter.setInputPath(input.string());
    converter.setOutputPath(output.string());
    if (converter.open())
        converter.convert();
    return 0;
}
