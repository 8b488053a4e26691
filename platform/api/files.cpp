#include <windows.h>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only descriptors that _lopen handed out are file handles: any other number
// is a bad handle even when it happens to be an open descriptor.
std::set<int>& OpenFiles() {
    static std::set<int> files;
    return files;
}

bool IsOpenFile(HFILE file) { return OpenFiles().count(file) != 0; }

}  // namespace

HFILE WINAPI _lopen(LPCSTR lpPathName, int iReadWrite) {
    if (!lpPathName || iReadWrite != OF_READ) return HFILE_ERROR;
    int fd = open(lpPathName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return HFILE_ERROR;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return HFILE_ERROR;
    }
    OpenFiles().insert(fd);
    return fd;
}

UINT WINAPI _lread(HFILE hFile, LPVOID lpBuffer, UINT uBytes) {
    if (!IsOpenFile(hFile) || (!lpBuffer && uBytes != 0)) return static_cast<UINT>(HFILE_ERROR);
    BYTE* to = static_cast<BYTE*>(lpBuffer);
    UINT done = 0;
    // A read may stop short of the end of the file; only the end or an error
    // makes _lread return fewer bytes than asked for.
    while (done < uBytes) {
        UINT chunk = uBytes - done < INT_MAX ? uBytes - done : INT_MAX;
        ssize_t got = read(hFile, to + done, chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return static_cast<UINT>(HFILE_ERROR);
        if (got == 0) break;
        done += static_cast<UINT>(got);
    }
    return done;
}

HFILE WINAPI _lclose(HFILE hFile) {
    if (!IsOpenFile(hFile)) return HFILE_ERROR;
    OpenFiles().erase(hFile);
    close(hFile);
    return 0;
}
