#include "ui/FileErrorWording.h"

#include <cerrno>

#include <QDir>
#include <QFile>

#include "ui/Language.h"

namespace {

QString Name(const std::string& path) { return QDir::toNativeSeparators(QFile::decodeName(path.c_str())); }

// The system's reasons a file operation meets most, in Chinese; any other
// keeps the system's English text.
QString ChineseSystemError(int error)
{
    switch (error) {
    case ENOENT:
        return QString::fromUtf8("没有那个文件或目录");
    case EACCES:
        return QString::fromUtf8("权限不够");
    case EPERM:
        return QString::fromUtf8("不允许的操作");
    case ENOSPC:
        return QString::fromUtf8("设备上没有空间");
    case EDQUOT:
        return QString::fromUtf8("超出磁盘限额");
    case EROFS:
        return QString::fromUtf8("只读文件系统");
    case EISDIR:
        return QString::fromUtf8("是一个目录");
    case ENOTDIR:
        return QString::fromUtf8("不是目录");
    case EIO:
        return QString::fromUtf8("输入/输出错误");
    case EEXIST:
        return QString::fromUtf8("文件已存在");
    case ENAMETOOLONG:
        return QString::fromUtf8("文件名过长");
    case EBUSY:
        return QString::fromUtf8("设备或资源忙");
    case ELOOP:
        return QString::fromUtf8("符号链接层数过多");
    default:
        return QString::fromStdString(SystemErrorText(error));
    }
}

// What a file that is not a regular one is, in Chinese.
QString ChineseFileType(DataFileError::FileType type)
{
    switch (type) {
    case DataFileError::FileType::Directory:
        return QString::fromUtf8("文件夹");
    case DataFileError::FileType::Fifo:
        return QString::fromUtf8("命名管道 (FIFO)");
    case DataFileError::FileType::CharacterDevice:
        return QString::fromUtf8("字符设备");
    case DataFileError::FileType::BlockDevice:
        return QString::fromUtf8("块设备");
    case DataFileError::FileType::Socket:
        return QString::fromUtf8("套接字");
    case DataFileError::FileType::Other:
        break;
    }
    return QString::fromUtf8("特殊文件");
}

} // namespace

QString FileErrorText(const DataFileError& e)
{
    if (!IsChinese())
        return QString::fromStdString(e.Text());
    using Kind = DataFileError::Kind;
    const QString detail = QString::fromStdString(e.detail);
    switch (e.kind) {
    case Kind::None:
        return QString();
    case Kind::NoSuchFile:
        return QString::fromUtf8("没有这个文件: %1").arg(Name(e.path));
    case Kind::IsDirectory:
        return QString::fromUtf8("%1 是文件夹,不是数据文件").arg(Name(e.path));
    case Kind::CannotOpen:
        return QString::fromUtf8("无法读取 %1: %2").arg(Name(e.path), ChineseSystemError(e.systemError));
    case Kind::ReadFailed:
        return detail.isEmpty() ? QString::fromUtf8("读取 %1 字节后出错").arg(e.count)
                                : QString::fromUtf8("读取出错: %1").arg(detail);
    case Kind::TooShort:
        return QString::fromUtf8("文件不足 2048 字节(只有 %1 字节)").arg(e.count);
    case Kind::NotRegularFile:
    case Kind::TargetNotRegularFile:
        return QString::fromUtf8("%1 是%2,不是普通文件").arg(Name(e.path), ChineseFileType(e.type));
    case Kind::TooLarge:
        return QString::fromUtf8("%1 超过 %2 字节").arg(Name(e.path)).arg(e.count);
    case Kind::NoFileName:
        return QString::fromUtf8("没有给出文件名");
    case Kind::TargetIsDirectory:
        return QString::fromUtf8("%1 是文件夹").arg(Name(e.path));
    case Kind::CannotCreate:
        return QString::fromUtf8("无法在 %1 中建立文件: %2").arg(Name(e.folder), ChineseSystemError(e.systemError));
    case Kind::WriteFailed:
        return QString::fromUtf8("无法把 2048 字节全部写入 %1 (%2); %3 没有改变")
            .arg(Name(e.folder), ChineseSystemError(e.systemError), Name(e.path));
    case Kind::CannotReplace:
        return QString::fromUtf8("无法替换 %1: %2")
            .arg(Name(e.path), e.systemError ? ChineseSystemError(e.systemError) : detail);
    case Kind::StreamWriteFailed:
        return detail.isEmpty() ? QString::fromUtf8("无法写入 2048 字节") : QString::fromUtf8("写入出错: %1").arg(detail);
    case Kind::TargetReadOnly:
        return QString::fromUtf8("%1 是只读文件").arg(Name(e.path));
    case Kind::CannotWrite:
        return QString::fromUtf8("无法写入 %1: %2").arg(Name(e.path), ChineseSystemError(e.systemError));
    case Kind::CannotFollowLink:
        return QString::fromUtf8("无法跟随链接 %1: %2").arg(Name(e.path), ChineseSystemError(e.systemError));
    }
    return QString::fromStdString(e.Text());
}
