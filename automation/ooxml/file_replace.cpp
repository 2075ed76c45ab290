#include "automation/ooxml/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "automation/error.h"

namespace automation::ooxml {
namespace fs = std::filesystem;

void failSave(const std::string& path, const std::string& reason) {
    throw Error(errors::SaveFailed, "无法保存文件“" + path + "”：" + reason);
}

namespace {

std::string systemErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "没有写入权限";
        case ENOSPC: return "磁盘空间不足";
        case EDQUOT: return "磁盘配额已用完";
        case EROFS: return "磁盘是只读的";
        case EFBIG: return "文件超过了系统允许的大小";
        case EIO: return "磁盘读写出错";
        case ENOENT: return "路径不存在";
        case EISDIR: return "目标是一个文件夹";
        case ENAMETOOLONG: return "文件名太长";
        default: return "系统错误 " + std::to_string(error);
    }
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

void replaceFile(const std::string& shownPath, const std::string& bytes) {
    fs::path target(shownPath);
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const auto resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (target.filename().empty()) failSave(shownPath, "文件名为空。");
    if (!fs::is_directory(folder, ec)) failSave(shownPath, "文件夹“" + folder.string() + "”不存在。");
    if (fs::is_directory(target, ec)) failSave(shownPath, "同名的文件夹已经存在。");

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;

    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", random());
        temporary = (folder / ("." + target.filename().string() + "." + suffix + ".tmp")).string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            failSave(shownPath, "无法在文件夹“" + folder.string() + "”中创建文件(" + systemErrorText(errno) + ")。");
    }
    if (fd < 0) failSave(shownPath, "无法在文件夹“" + folder.string() + "”中创建临时文件。");

    auto abandon = [&](int error, const std::string& what) {
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        failSave(shownPath, what + "(" + systemErrorText(error) + ")，原文件未被改动。");
    };
    if (!writeAll(fd, bytes)) abandon(errno, "写入文件时出错");
    if (exists) (void)::fchmod(fd, existing.st_mode & 07777);
    if (::fsync(fd) != 0) abandon(errno, "写入文件时出错");
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) abandon(errno, "写入文件时出错");
    if (::rename(temporary.c_str(), target.c_str()) != 0) abandon(errno, "无法替换原文件");

    // Make the rename itself durable; a failure here no longer endangers either version.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

}  // namespace automation::ooxml
