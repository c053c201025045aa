// CFileInfo: what the file system and the shell say about one file or folder, read in one pass.
#pragma once
#include "fileinfo/file_text.h"
#include "platform/win.h"

#include <cstdint>
#include <string>

namespace fileinfo {

class CFileInfo {
  public:
    // Resolves `path` to an absolute path and reads the entry (Refresh). A path that does not resolve
    // changes nothing.
    void SetFullPathName(const std::wstring& path);
    const std::wstring& FullPathName() const { return FullPathName_; }
    const std::wstring& FileName() const { return FileName_; }
    const std::wstring& FilePath() const { return FilePath_; }
    const std::wstring& FileExtension() const { return FileExtension_; }
    const std::wstring& DisplayName() const { return DisplayName_; }
    const std::wstring& TypeName() const { return TypeName_; }
    const std::wstring& ShortPathName() const { return ShortPathName_; }
    const std::wstring& ShortName() const { return ShortName_; }
    const std::wstring& ShortPath() const { return ShortPath_; }
    bool FileExists() const { return FileExists_; }
    bool PathExists() const { return PathExists_; }
    int32_t FileSize() const { return FileSize_; }
    int32_t FileSizeHigh() const { return FileSizeHigh_; }
    int32_t CompressedFileSize() const { return CompressedFileSize_; }
    int32_t CompressedFileSizeHigh() const { return CompressedFileSizeHigh_; }
    // The whole size, from its two halves.
    int64_t Size() const;
    DWORD Attributes() const { return Attributes_; }
    const DateTime& CreationTime() const { return CreationTime_; }
    const DateTime& LastAccessTime() const { return LastAccessTime_; }
    const DateTime& ModifyTime() const { return ModifyTime_; }
    // The large shell icon; the record keeps it and destroys it on the next Refresh or at its end.
    HICON hIcon() const { return hIcon_.get(); }

    // Each writes one time stamp to the entry (local time) and reads it again; false when nothing was
    // written.
    bool SetCreationTime(const DateTime& t);
    bool SetLastAccessTime(const DateTime& t);
    bool SetModifyTime(const DateTime& t);
    // Writes the attribute mask and reads the entry again; nothing when it is the stored mask already,
    // the entry was not found or the write fails.
    void SetAttributes(DWORD mask);

    bool attrReadOnly() const { return Attributes_ & FILE_ATTRIBUTE_READONLY; }
    bool attrHidden() const { return Attributes_ & FILE_ATTRIBUTE_HIDDEN; }
    bool attrSystem() const { return Attributes_ & FILE_ATTRIBUTE_SYSTEM; }
    bool attrArchive() const { return Attributes_ & FILE_ATTRIBUTE_ARCHIVE; }
    bool attrTemporary() const { return Attributes_ & FILE_ATTRIBUTE_TEMPORARY; }
    bool attrCompressed() const { return Attributes_ & FILE_ATTRIBUTE_COMPRESSED; }
    void SetAttrReadOnly(bool on) { SetAttributeBit(FILE_ATTRIBUTE_READONLY, on); }
    void SetAttrHidden(bool on) { SetAttributeBit(FILE_ATTRIBUTE_HIDDEN, on); }
    void SetAttrSystem(bool on) { SetAttributeBit(FILE_ATTRIBUTE_SYSTEM, on); }
    void SetAttrArchive(bool on) { SetAttributeBit(FILE_ATTRIBUTE_ARCHIVE, on); }
    // Temporary and compressed cannot be set through the mask; the requests are accepted and ignored.
    void SetAttrTemporary(bool) {}
    void SetAttrCompressed(bool) {}

    // Reads everything again from the file system and the shell.
    void Refresh();

    static std::wstring FormatFileDate(const DateTime& t) { return fileinfo::FormatFileDate(t); }
    static std::wstring FormatFileSize(int64_t bytes) { return fileinfo::FormatFileSize(bytes); }

    static DateTime FileTimeToLocalDate(const FILETIME& utc);
    static bool LocalDateToFileTime(const DateTime& local, FILETIME* utc);
    static std::wstring LongFolderPath(const std::wstring& path);

  private:
    enum class Stamp { Creation, LastAccess, LastWrite };
    bool WriteTime(Stamp which, const DateTime& t);
    void SetAttributeBit(DWORD bit, bool on);

    std::wstring FullPathName_, FileName_, FilePath_, FileExtension_, DisplayName_, TypeName_;
    platform::UniqueIcon hIcon_;
    std::wstring ShortPathName_, ShortName_, ShortPath_;
    bool FileExists_ = false, PathExists_ = false;
    int32_t FileSize_ = 0, FileSizeHigh_ = 0, CompressedFileSize_ = 0, CompressedFileSizeHigh_ = 0;
    DWORD Attributes_ = 0;
    DateTime CreationTime_, LastAccessTime_, ModifyTime_;
};

} // namespace fileinfo
