// Arbitrary bytes as a batch file for the desktop's batch interpreter. No
// program is started: the starter checks what it is given and fails the
// line when the program is called "fail", so that both ends of a program
// line are reached.
#include "BatchInterpreter.h"

#include <cstdint>
#include <cstdlib>

namespace {

class CheckingStarter final : public ProgramStarter {
  public:
    QString run(const QList<QByteArray> &arguments,
                const QByteArray &) override {
        // The interpreter hands over a program name or refuses the line.
        if (arguments.isEmpty() || arguments.front().isEmpty())
            std::abort();
        if (arguments.front() == "fail")
            return QStringLiteral("could not be started");
        return {};
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    CheckingStarter starter;
    BatchInterpreter interpreter(starter);
    const BatchOutcome outcome = interpreter.run(QByteArray(
        reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!outcome.completed &&
        (outcome.failedLine < 1 || outcome.failure.isEmpty()))
        std::abort();
    return 0;
}
