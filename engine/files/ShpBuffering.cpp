#include "ShpBuffering.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
} // namespace

// A position in the file and one buffer that holds either bytes read from
// the file at bufferStart (clean) or bytes to be written there (dirty).
// Underneath, the handle's own hooks on its own stream, used only to fill or
// empty a whole buffer or for a transfer larger than the buffer.
struct ShpBuffering::File {
    SAHooks lower;
    SAFile stream = nullptr;
    std::unique_ptr<unsigned char[]> buffer{new unsigned char[kBufferSize]};
    std::uint64_t bufferStart = 0;
    std::size_t bufferLength = 0;
    bool dirty = false;
    std::uint64_t position = 0;
    bool failed = false;

    bool seekLower(std::uint64_t offset) {
        if (lower.FSeek(stream, static_cast<SAOffset>(offset), SEEK_SET) == 0)
            return true;
        failed = true;
        return false;
    }

    // Writes out a dirty buffer; afterwards the buffer is empty.
    bool flush() {
        if (dirty && bufferLength != 0) {
            if (!seekLower(bufferStart) ||
                lower.FWrite(buffer.get(), 1, bufferLength, stream) !=
                    bufferLength)
                failed = true;
        }
        dirty = false;
        bufferLength = 0;
        return !failed;
    }

    std::size_t read(unsigned char *out, std::size_t wanted) {
        if (dirty)
            flush();
        std::size_t done = 0;
        while (done < wanted) {
            if (position >= bufferStart &&
                position < bufferStart + bufferLength) {
                const std::size_t offset =
                    static_cast<std::size_t>(position - bufferStart);
                const std::size_t part =
                    std::min(wanted - done, bufferLength - offset);
                std::memcpy(out + done, buffer.get() + offset, part);
                done += part;
                position += part;
                continue;
            }
            if (!seekLower(position))
                break;
            if (wanted - done >= kBufferSize) { // straight into the caller's
                const std::size_t got = static_cast<std::size_t>(
                    lower.FRead(out + done, 1, wanted - done, stream));
                done += got;
                position += got;
                break;
            }
            bufferStart = position;
            bufferLength = static_cast<std::size_t>(
                lower.FRead(buffer.get(), 1, kBufferSize, stream));
            if (bufferLength == 0)
                break; // the end of the file, or a read error
        }
        return done;
    }

    std::size_t write(const unsigned char *data, std::size_t length) {
        if (failed)
            return 0; // the file is incomplete already
        if (!dirty || position != bufferStart + bufferLength ||
            length > kBufferSize - bufferLength) {
            flush();
            dirty = true;
            bufferStart = position;
        }
        if (length >= kBufferSize) {
            dirty = false;
            if (!seekLower(position) ||
                lower.FWrite(const_cast<unsigned char *>(data), 1, length,
                             stream) != length) {
                failed = true;
                return 0;
            }
        } else {
            std::memcpy(buffer.get() + bufferLength, data, length);
            bufferLength += length;
        }
        position += length;
        return length;
    }
};

namespace {

using File = ShpBuffering::File;

File &fileOf(SAFile file) { return *reinterpret_cast<File *>(file); }

SAOffset bufferedRead(void *p, SAOffset size, SAOffset count, SAFile file) {
    if (size == 0)
        return 0;
    const std::size_t got =
        fileOf(file).read(static_cast<unsigned char *>(p), size * count);
    return got / size;
}

SAOffset bufferedWrite(void *p, SAOffset size, SAOffset count, SAFile file) {
    if (size == 0)
        return 0;
    const std::size_t done =
        fileOf(file).write(static_cast<const unsigned char *>(p), size * count);
    return done / size;
}

SAOffset bufferedSeek(SAFile file, SAOffset offset, int whence) {
    File &f = fileOf(file);
    switch (whence) {
    case SEEK_SET:
        f.position = offset;
        return 0;
    case SEEK_CUR: // a negative offset arrives wrapped around
        f.position += offset;
        return 0;
    case SEEK_END: {
        if (!f.flush() || f.lower.FSeek(f.stream, offset, SEEK_END) != 0) {
            f.failed = true;
            return static_cast<SAOffset>(-1);
        }
        f.position = f.lower.FTell(f.stream);
        return 0;
    }
    default:
        return static_cast<SAOffset>(-1);
    }
}

SAOffset bufferedTell(SAFile file) { return fileOf(file).position; }

int bufferedFlush(SAFile file) {
    File &f = fileOf(file);
    if (!f.flush() || f.lower.FFlush(f.stream) != 0)
        f.failed = true;
    return f.failed ? EOF : 0;
}

// The File stays with its ShpBuffering, which reports the outcome.
int bufferedClose(SAFile file) {
    File &f = fileOf(file);
    f.flush();
    if (f.lower.FClose(f.stream) != 0)
        f.failed = true;
    f.stream = nullptr;
    return f.failed ? EOF : 0;
}

std::unique_ptr<File> wrap(SAFile &stream, const SAHooks &lower) {
    if (stream == nullptr)
        return nullptr;
    auto file = std::make_unique<File>();
    file->lower = lower;
    file->stream = stream;
    // Nothing is pending on a freshly opened handle; flushing makes sure.
    if (lower.FFlush(stream) != 0)
        file->failed = true;
    file->position = lower.FTell(stream);
    stream = reinterpret_cast<SAFile>(file.get());
    return file;
}

} // namespace

ShpBuffering::ShpBuffering() = default;
ShpBuffering::~ShpBuffering() = default;

void ShpBuffering::attach(SHPHandle handle) {
    const SAHooks lower = handle->sHooks;
    shp_ = wrap(handle->fpSHP, lower);
    shx_ = wrap(handle->fpSHX, lower);
    handle->sHooks.FRead = bufferedRead;
    handle->sHooks.FWrite = bufferedWrite;
    handle->sHooks.FSeek = bufferedSeek;
    handle->sHooks.FTell = bufferedTell;
    handle->sHooks.FFlush = bufferedFlush;
    handle->sHooks.FClose = bufferedClose;
}

bool ShpBuffering::failed() const {
    return (shp_ && shp_->failed) || (shx_ && shx_->failed);
}
