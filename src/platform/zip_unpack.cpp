#include "platform/zip_unpack.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace tarvo {

namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

std::string ZipErrorText(int code) {
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    std::string text = zip_error_strerror(&e);
    zip_error_fini(&e);
    return text;
}

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct EntryCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

bool WriteAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

std::int64_t FreeDiskBytes(const std::string& folder) {
    struct statvfs s;
    if (::statvfs(folder.c_str(), &s) != 0) return -1;
    return static_cast<std::int64_t>(s.f_bavail) * static_cast<std::int64_t>(s.f_frsize);
}

bool Zip_UnpackOne(const std::string& packedPath, const std::string& folder, std::int64_t limit, std::string& tempPath,
                   std::string* error) {
    tempPath.clear();
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(packedPath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!zip) return Fail(error, "not a readable package: " + ZipErrorText(code));

    // The one file of the package; folder entries do not count.
    const zip_int64_t entries = zip_get_num_entries(zip.get(), 0);
    zip_int64_t file = -1;
    int files = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(zip.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        const std::size_t len = name ? std::strlen(name) : 0;
        if (len > 0 && name[len - 1] == '/') continue;
        ++files;
        file = i;
    }
    if (files != 1) return Fail(error, "the package holds " + std::to_string(files) + " files; one was expected");

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip.get(), static_cast<zip_uint64_t>(file), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return Fail(error, std::string("the package's file cannot be read: ") + zip_strerror(zip.get()));
    const std::int64_t size = static_cast<std::int64_t>(st.size);
    if (size > limit)
        return Fail(error, "the package unpacks to " + std::to_string(size) + " bytes, more than the " +
                               std::to_string(limit) + " free on the disk");

    std::unique_ptr<zip_file_t, EntryCloser> in(zip_fopen_index(zip.get(), static_cast<zip_uint64_t>(file), 0));
    if (!in) return Fail(error, std::string("the package's file cannot be opened: ") + zip_strerror(zip.get()));

    std::string tmpl = folder + "/.download-XXXXXX";
    int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);  // created 0600
    if (fd < 0) return Fail(error, std::string("no file to unpack into: ") + std::strerror(errno));
    auto abandon = [&](const std::string& why) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return Fail(error, why);
    };

    std::vector<char> buffer(1 << 20);
    std::int64_t written = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(in.get(), buffer.data(), buffer.size());
        if (n < 0) return abandon(std::string("the package is damaged: ") + zip_file_strerror(in.get()));
        if (n == 0) break;
        written += n;
        // The entry's recorded size is what the disk was checked for.
        if (written > size) return abandon("the package's file is larger than it says");
        if (!WriteAll(fd, buffer.data(), static_cast<std::size_t>(n)))
            return abandon(std::string("unpacking: ") + std::strerror(errno));
    }
    if (written != size) return abandon("the package's file is cut short");
    if (::fsync(fd) != 0) return abandon(std::string("unpacking: ") + std::strerror(errno));
    if (::close(fd) != 0) {
        ::unlink(tmpl.c_str());
        return Fail(error, std::string("unpacking: ") + std::strerror(errno));
    }
    tempPath = tmpl;
    return true;
}

}  // namespace tarvo
