// Arbitrary bytes as the extent lines of boxcheck's output, classified as the
// desktop classifies Shape.txt: the bytes up to the first line break as the
// fourth line (the minima), the rest as the sixth (the maxima). Then the
// same bytes as boxcheck's whole output, its lines split at line breaks,
// the seventh line (why a file with an extent is of no category) included.
#include "modKAVRO.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromLocal8Bit(
        reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype lineEnd = text.indexOf(u'\n');
    const QString minima = lineEnd < 0 ? text : text.left(lineEnd);
    const QString maxima = lineEnd < 0 ? QString() : text.mid(lineEnd + 1);
    const ShapeType type = modKAVRO::ParseExtentLine(minima);
    if (type < ShapeGBOShift || type > ShapeUnknown)
        std::abort();
    // The whole extent can only narrow the category of the minima, and an
    // unknown file always says why.
    QString reason;
    const ShapeType whole = modKAVRO::ShapeTypeOfExtent(minima, maxima, reason);
    if (whole != ShapeUnknown ? whole != type || !reason.isEmpty()
                              : reason.isEmpty())
        std::abort();

    // The whole output: the seventh line can only narrow the category of
    // the extent lines, and an unknown file says why.
    const QStringList lines = text.split(u'\n');
    QString why;
    const ShapeType reported = modKAVRO::ShapeTypeOfReport(lines, why);
    if (reported != ShapeUnknown) {
        QString extentWhy;
        if (!why.isEmpty() || lines.size() < 5 ||
            reported != modKAVRO::ShapeTypeOfExtent(
                            lines[3], lines.size() >= 6 ? lines[5] : QString(),
                            extentWhy))
            std::abort();
    } else if (why.isEmpty()) {
        std::abort();
    }
    return 0;
}
