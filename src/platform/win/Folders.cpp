#include "platform/win/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <qt_windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

namespace beamlet::platform::win {
namespace {

QString knownFolder(const KNOWNFOLDERID& id)
{
    wchar_t* path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

// Whether path lies in folder (or is it), both resolved, compared as Windows
// compares file names.
bool within(const QString& path, const QString& folder)
{
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return !resolved.isEmpty()
        && (path.compare(resolved, Qt::CaseInsensitive) == 0
            || path.startsWith(resolved + QLatin1Char('/'), Qt::CaseInsensitive));
}

// The user's own Programs folder, where a per-user installer puts programs:
// %LOCALAPPDATA%\Programs unless moved. Wine names no such known folder, and
// installers (ours too) then take that default.
QString userProgramsFolder()
{
    const QString known = knownFolder(FOLDERID_UserProgramFiles);
    if (!known.isEmpty())
        return known;
    const QString localData = knownFolder(FOLDERID_LocalAppData);
    return localData.isEmpty() ? QString() : localData + QStringLiteral("/Programs");
}

}  // namespace

bool programIsInstalled()
{
    const QString here = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    const QString programFolders[] = {knownFolder(FOLDERID_ProgramFiles), knownFolder(FOLDERID_ProgramFilesX86),
                                      userProgramsFolder()};
    return !here.isEmpty()
        && std::any_of(std::begin(programFolders), std::end(programFolders),
                       [&here](const QString& folder) { return within(here, folder); });
}

QString userDataFolder()
{
    return knownFolder(FOLDERID_LocalAppData);
}

bool replaceFile(const QString& from, const QString& to)
{
    const QString sourcePath = QDir::toNativeSeparators(from);
    const QString targetPath = QDir::toNativeSeparators(to);
    const auto source = reinterpret_cast<const wchar_t*>(sourcePath.utf16());
    const auto target = reinterpret_cast<const wchar_t*>(targetPath.utf16());
    if (MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace beamlet::platform::win
