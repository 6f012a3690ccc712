#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_stream.h"
#include "platform/safe_file_writer.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

namespace fs = std::filesystem;
using testing::FileSizeLimit;
using testing::ReadBytes;
using testing::RunUnprivileged;
using testing::TempFolder;
using testing::WriteBytes;

using Bytes = std::vector<std::uint8_t>;

struct stat StatOf(const std::string& name) {
  struct stat info {};
  EXPECT_EQ(::lstat(name.c_str(), &info), 0) << name;
  return info;
}

// The message of the FileError that writing data to target raises ("" when none is raised).
std::string RefusalOf(const std::string& target, const Bytes& data,
                      const SafeWriteOptions& options = {}) {
  try {
    ReplaceFileAtomically(target, data, options);
  } catch (const FileError& error) {
    return error.what();
  }
  return "";
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A folder that an ordinary user may enter, with its files writable for that user.
void OpenToEveryone(const std::string& path, mode_t mode) {
  ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

TEST(SafeFileWriter, WritesThroughLinksAndKeepsEveryNameOfTheFile) {
  TempFolder folder;
  fs::create_directory(folder.File("real"));
  const std::string real = folder.File("real/real.ocd");
  WriteBytes(real, {1, 2, 3});
  const ino_t inode = StatOf(real).st_ino;

  // A relative link, a link to that link, and an absolute one: each stays a link.
  fs::create_symlink("real/real.ocd", folder.File("link.ocd"));
  fs::create_symlink("link.ocd", folder.File("link2.ocd"));
  fs::create_symlink(real, folder.File("absolute.ocd"));
  ReplaceFileAtomically(folder.File("link2.ocd"), {4, 5});
  EXPECT_EQ(ReadBytes(real), (Bytes{4, 5}));
  EXPECT_NE(StatOf(real).st_ino, inode);  // replaced whole, by renaming
  ReplaceFileAtomically(folder.File("absolute.ocd"), {6});
  EXPECT_EQ(ReadBytes(real), (Bytes{6}));
  for (const char* link : {"link.ocd", "link2.ocd", "absolute.ocd"})
    EXPECT_TRUE(fs::is_symlink(folder.File(link))) << link;
  EXPECT_EQ(ResolveLinks(folder.File("link2.ocd")), folder.File("real/real.ocd"));

  // A second name of the same file sees the new contents too: written in place.
  const std::string other = folder.File("other.ocd");
  ASSERT_EQ(::link(real.c_str(), other.c_str()), 0);
  const ino_t linked = StatOf(real).st_ino;
  ReplaceFileAtomically(other, {7, 8, 9, 10});
  EXPECT_EQ(ReadBytes(real), (Bytes{7, 8, 9, 10}));
  ReplaceFileAtomically(real, {11});
  EXPECT_EQ(ReadBytes(other), (Bytes{11}));
  EXPECT_EQ(StatOf(other).st_ino, linked);
  EXPECT_EQ(StatOf(other).st_nlink, 2u);

  // A link to a file not made yet makes that file; links in a circle are refused.
  fs::create_symlink("real/new.ocd", folder.File("ahead.ocd"));
  ReplaceFileAtomically(folder.File("ahead.ocd"), {12});
  EXPECT_EQ(ReadBytes(folder.File("real/new.ocd")), (Bytes{12}));
  fs::create_symlink("loop-b", folder.File("loop-a"));
  fs::create_symlink("loop-a", folder.File("loop-b"));
  EXPECT_TRUE(Contains(RefusalOf(folder.File("loop-a"), {1}), "circle"));
  for (const auto& entry : fs::recursive_directory_iterator(folder.Path()))
    EXPECT_FALSE(Contains(entry.path().string(), kSaveTemporarySuffix)) << entry.path();
}

TEST(SafeFileWriter, KeepsModeAndOwnerAndReplacesAReadOnlyFileWhenAsked) {
  TempFolder folder;
  const std::string name = folder.File("picture.bmp");
  WriteBytes(name, {1});
  ASSERT_EQ(::chmod(name.c_str(), 02751), 0);
  ReplaceFileAtomically(name, {2});
  EXPECT_EQ(StatOf(name).st_mode & 07777, 02751u);

  // The caller decided to replace a read-only file: the writer does not refuse it.
  ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
  ReplaceFileAtomically(name, {3});
  EXPECT_EQ(ReadBytes(name), (Bytes{3}));
  EXPECT_EQ(StatOf(name).st_mode & 07777, 0444u);

  // A new file gets the usual permissions, not those of the program's temporary.
  const mode_t mask = ::umask(022);
  ReplaceFileAtomically(folder.File("new.bmp"), {1});
  ::umask(mask);
  EXPECT_EQ(StatOf(folder.File("new.bmp")).st_mode & 07777, 0644u);

  if (::geteuid() == 0) {  // only the superuser can hand a file to someone else
    ASSERT_EQ(::chown(name.c_str(), 1234, 5678), 0);
    ReplaceFileAtomically(name, {4});
    EXPECT_EQ(StatOf(name).st_uid, 1234u);
    EXPECT_EQ(StatOf(name).st_gid, 5678u);
  }
  // An ordinary user cannot give the new file the owner's name: the file is written in place
  // and keeps its owner; a read-only file of one's own is written as well.
  OpenToEveryone(folder.Path(), 0777);
  const std::string foreign = folder.File("foreign.bmp");
  WriteBytes(foreign, {1});
  OpenToEveryone(foreign, 0666);
  const std::string own = folder.File("own.bmp");
  WriteBytes(own, {1});
  ASSERT_EQ(::chown(own.c_str(), testing::kUnprivilegedUser, testing::kUnprivilegedUser), 0);
  OpenToEveryone(own, 0444);
  if (::geteuid() != 0) GTEST_SKIP() << "the ordinary-user half needs the superuser";
  const uid_t owner = StatOf(foreign).st_uid;
  const ino_t inode = StatOf(foreign).st_ino;
  EXPECT_EQ(RunUnprivileged([&] {
              ReplaceFileAtomically(foreign, {9, 9});
              ReplaceFileAtomically(own, {8});
              return std::string();
            }),
            "");
  EXPECT_EQ(ReadBytes(foreign), (Bytes{9, 9}));
  EXPECT_EQ(StatOf(foreign).st_uid, owner);
  EXPECT_EQ(StatOf(foreign).st_ino, inode);
  EXPECT_EQ(ReadBytes(own), (Bytes{8}));
  EXPECT_EQ(StatOf(own).st_mode & 07777, 0444u);
}

TEST(SafeFileWriter, NeverReplacesAFolderAFifoOrADevice) {
  TempFolder folder;
  testing::HangGuard guard;
  fs::create_directory(folder.File("folder.o3d"));
  testing::MakeFifo(folder.File("fifo.csv"));
  fs::create_symlink("fifo.csv", folder.File("to-fifo.csv"));
  EXPECT_TRUE(Contains(RefusalOf(folder.File("folder.o3d"), {1}), "it is a folder"));
  EXPECT_TRUE(Contains(RefusalOf(folder.File("fifo.csv"), {1}), "fifo"));
  EXPECT_TRUE(Contains(RefusalOf(folder.File("to-fifo.csv"), {1}), "fifo"));
  EXPECT_TRUE(S_ISDIR(StatOf(folder.File("folder.o3d")).st_mode));
  EXPECT_TRUE(S_ISFIFO(StatOf(folder.File("fifo.csv")).st_mode));
  if (::geteuid() == 0) {  // a device node of our own, like /dev/full
    const std::string device = folder.File("full");
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    EXPECT_TRUE(Contains(RefusalOf(device, {1}), "it is a device"));
    EXPECT_TRUE(S_ISCHR(StatOf(device).st_mode));
  }
  for (const auto& entry : fs::directory_iterator(folder.Path()))
    EXPECT_FALSE(Contains(entry.path().string(), kSaveTemporarySuffix)) << entry.path();
}

TEST(SafeFileWriter, AFolderThatIsNotWritableIsRefusedOrWrittenInPlaceFromACopyAside) {
  if (::geteuid() != 0 && ::access("/", W_OK) == 0) GTEST_SKIP();
  TempFolder folder;
  OpenToEveryone(folder.Path(), 0755);
  const std::string shut = folder.File("shut");
  fs::create_directory(shut);
  const std::string map = shut + "/map.ocd";
  WriteBytes(map, Bytes(5000, 1));
  OpenToEveryone(map, 0666);
  const std::string aside = folder.File("cache");
  fs::create_directory(aside);
  OpenToEveryone(aside, 0777);
  OpenToEveryone(shut, 0555);
  const ino_t inode = StatOf(map).st_ino;

  const std::string outcome = RunUnprivileged([&]() -> std::string {
    // Without a place for the copy: refused, naming the folder, the file as it was.
    std::string refusal = RefusalOf(map, {2});
    if (!Contains(refusal, "its folder \"" + shut + "\" is not writable")) return refusal;
    if (ReadBytes(map) != Bytes(5000, 1)) return "the refused file changed";
    refusal = RefusalOf(shut + "/new.ocd", {2});
    if (!Contains(refusal, "cannot be made there")) return refusal;
    // With it: overwritten in place, shorter than before, and the copy aside is gone.
    ReplaceFileAtomically(map, {3, 4, 5}, {aside});
    if (ReadBytes(map) != Bytes{3, 4, 5}) return "not written in place";
    if (fs::exists(aside + "/map.ocd" + kSaveTemporarySuffix)) return "the copy aside stayed";
    ReplaceFileAtomically(map, Bytes(3 << 20, 6), {aside});  // longer than one copied piece
    if (ReadBytes(map) != Bytes(3 << 20, 6)) return "a long file was not written whole";
    return "";
  });
  EXPECT_EQ(outcome, "");
  EXPECT_EQ(StatOf(map).st_ino, inode);
}

TEST(SafeFileWriter, AFullDiskLeavesTheOldFileAndNoTemporary) {
  TempFolder folder;
  const std::string name = folder.File("contoursxyz.csv");
  WriteBytes(name, Bytes(100, 'o'));
  {
    FileSizeLimit full(4096);
    EXPECT_TRUE(Contains(RefusalOf(name, Bytes(10000, 'n')), "write error"));
    SafeFileWriter writer(name);
    writer.Append("abc", 3);
    EXPECT_THROW(writer.Append(Bytes(8000, 'n').data(), 8000), FileError);
  }  // given up without Commit
  EXPECT_EQ(ReadBytes(name), Bytes(100, 'o'));
  EXPECT_FALSE(fs::exists(name + kSaveTemporarySuffix));

  // Overwriting in place (here: a file with a second name) fails half-way: the message says
  // so and names the complete copy, which stays.
  const std::string second = folder.File("second-name.csv");
  ASSERT_EQ(::link(name.c_str(), second.c_str()), 0);
  {
    SafeFileWriter writer(name);
    writer.Append(Bytes(10000, 'n').data(), 10000);
    FileSizeLimit full(4096);
    try {
      writer.Commit();
      ADD_FAILURE() << "a write past the end of the disk succeeded";
    } catch (const FileError& error) {
      EXPECT_TRUE(Contains(error.what(), "may be incomplete now"));
      EXPECT_TRUE(Contains(error.what(), "\"" + name + kSaveTemporarySuffix + "\""));
    }
  }
  EXPECT_EQ(ReadBytes(name + kSaveTemporarySuffix), Bytes(10000, 'n'));
  fs::remove(second);
  fs::remove(name + kSaveTemporarySuffix);
  WriteBytes(name, Bytes(100, 'o'));

  // A temporary that a killed run left is taken over and gone after the next write; one in
  // use by a running save is left alone.
  testing::RunAndDie([&] {
    SafeFileWriter writer(name);
    writer.Append("partial", 7);
    ::_exit(0);  // killed while writing: no destructor runs
  });
  ASSERT_TRUE(fs::exists(name + kSaveTemporarySuffix));
  {
    const FileStream busy(name + kSaveTemporarySuffix, FileMode::ReadDenyWrite);
    RemoveStaleSaveTemporary(name);
    EXPECT_TRUE(fs::exists(name + kSaveTemporarySuffix));
    EXPECT_THROW(ReplaceFileAtomically(name, {1}), FileError);
  }
  RemoveStaleSaveTemporary(name);
  EXPECT_FALSE(fs::exists(name + kSaveTemporarySuffix));
  EXPECT_EQ(ReadBytes(name), Bytes(100, 'o'));
}

// A small disk of its own, mounted for one test (only the superuser may).
class TinyDisk {
 public:
  explicit TinyDisk(const std::string& path) : path_(path) {
    fs::create_directory(path_);
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
  }
  ~TinyDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  TinyDisk(const TinyDisk&) = delete;
  TinyDisk& operator=(const TinyDisk&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

TEST(SafeFileWriter, OnARealFullDiskNothingIsDestroyedInPlaceOrBeside) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs the superuser";
  TempFolder folder;
  OpenToEveryone(folder.Path(), 0755);
  const TinyDisk disk(folder.File("disk"));
  if (!disk.Mounted()) GTEST_SKIP() << "no small disk could be mounted here";
  const std::string shut = folder.File("disk/shut");
  fs::create_directory(shut);
  const std::string map = shut + "/map.ocd";
  WriteBytes(map, Bytes(20000, 'o'));
  ASSERT_EQ(::chown(map.c_str(), testing::kUnprivilegedUser, testing::kUnprivilegedUser), 0);
  OpenToEveryone(map, 0644);
  OpenToEveryone(shut, 0555);
  WriteBytes(folder.File("disk/filler"), Bytes(36000, 'f'));  // leaves less than 10 kB
  const std::string aside = folder.File("cache");
  fs::create_directory(aside);
  OpenToEveryone(aside, 0777);

  // Beside: the temporary does not fit, the old file stays.
  const std::string beside = folder.File("disk/beside.csv");
  WriteBytes(beside, Bytes(1000, 'o'));
  EXPECT_TRUE(Contains(RefusalOf(beside, Bytes(30000, 'n')), "No space left on device"));
  EXPECT_EQ(ReadBytes(beside), Bytes(1000, 'o'));
  EXPECT_FALSE(fs::exists(beside + kSaveTemporarySuffix));

  // In place from the copy aside: the growth does not fit, found before the first byte changes.
  EXPECT_EQ(RunUnprivileged([&]() -> std::string {
              const std::string refusal = RefusalOf(map, Bytes(40000, 'n'), {aside});
              return Contains(refusal, "it was left as it was") ? "" : refusal;
            }),
            "");
  EXPECT_EQ(ReadBytes(map), Bytes(20000, 'o'));
  EXPECT_TRUE(fs::is_empty(aside));
}

}  // namespace
}  // namespace terrak
