#include "common/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

TMappedFile::TMappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        size_ = static_cast<std::size_t>(st.st_size);
        if (size_ == 0) {
            open_ = true;
        } else {
            void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                data_ = mapped;
                open_ = true;
                ::madvise(data_, size_, MADV_SEQUENTIAL);
            } else {
                size_ = 0;
            }
        }
    }
    ::close(fd);
}

TMappedFile::~TMappedFile() {
    if (data_) ::munmap(data_, size_);
}
