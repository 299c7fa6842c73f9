#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <sys/types.h>

// A POSIX file descriptor with one owner, closed when the owner goes out of
// scope. The late close ignores its error: where the close of a written file
// counts, the owner calls close() and looks at its answer.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor &&other) noexcept : fd_(other.release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Gives the descriptor up to the caller, who closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes the descriptor now; false with errno set when the close failed
    // (some file systems report a failed write only then).
    bool close();

  private:
    void reset();
    int fd_ = -1;
};

// Opens a file that must be a regular file, with the open flags given
// (O_CLOEXEC is added; add O_NOFOLLOW to refuse a symbolic link). The open
// does not wait: a pipe or a device under the name would block an ordinary
// open until something writes into it, so it is opened non-blocking, looked
// at through the descriptor (nothing can be put in its place in between) and
// the descriptor made blocking again. A file that is not regular is closed
// again and refused with errno EISDIR for a folder and EINVAL for anything
// else; any other failure keeps the open's own errno. `mode` counts only
// with O_CREAT.
FileDescriptor openRegularFile(const std::string &path, int flags,
                               mode_t mode = 0600);

// Creates a new file for writing: never over an existing file (O_EXCL) and
// never through a symbolic link (O_NOFOLLOW). An empty descriptor with errno
// set on failure.
FileDescriptor createNewFile(const std::string &path, mode_t mode);

// Writes all `size` bytes, resuming after a partial write or an interrupted
// call. Returns how many bytes were written: `size`, or fewer with errno set.
std::size_t writeAll(int fd, const char *data, std::size_t size);

// Creates a new file as createNewFile does, writes `bytes` into it and closes
// it. False with errno set when any step failed; the file is then removed
// again, so no file cut short is left under the name.
bool writeNewFile(const std::string &path, std::string_view bytes,
                  mode_t mode = 0600);
