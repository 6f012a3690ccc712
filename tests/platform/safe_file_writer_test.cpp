#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/file_stream.h"
#include "platform/safe_file_writer.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

namespace fs = std::filesystem;
using testing::FileSizeLimit;
using testing::ReadBytes;
using testing::RunUnprivileged;
using testing::TempFolder;
using testing::ThrownText;
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
  return ThrownText<FileError>([&] { ReplaceFileAtomically(target, data, options); },
                               &FileError::what, "");
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
  EXPECT_EQ(std::pair(StatOf(other).st_ino, StatOf(other).st_nlink), std::pair(linked, nlink_t{2}));

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
  EXPECT_EQ(std::pair(ReadBytes(name), StatOf(name).st_mode & 07777), std::pair(Bytes{3}, 0444u));

  // A new file gets the usual permissions, not those of the program's temporary.
  const mode_t mask = ::umask(022);
  ReplaceFileAtomically(folder.File("new.bmp"), {1});
  ::umask(mask);
  EXPECT_EQ(StatOf(folder.File("new.bmp")).st_mode & 07777, 0644u);

  if (::geteuid() == 0) {  // only the superuser can hand a file to someone else
    ASSERT_EQ(::chown(name.c_str(), 1234, 5678), 0);
    ReplaceFileAtomically(name, {4});
    EXPECT_EQ(std::pair(StatOf(name).st_uid, StatOf(name).st_gid), std::pair(1234u, 5678u));
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
  EXPECT_EQ(std::tuple(ReadBytes(foreign), StatOf(foreign).st_uid, StatOf(foreign).st_ino),
            std::tuple(Bytes{9, 9}, owner, inode));
  EXPECT_EQ(std::pair(ReadBytes(own), StatOf(own).st_mode & 07777), std::pair(Bytes{8}, 0444u));
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
  EXPECT_EQ(std::pair(ReadBytes(name), fs::exists(name + kSaveTemporarySuffix)), std::pair(Bytes(100, 'o'), false));

  // Overwriting in place (here: a file with a second name) fails half-way: the message says
  // so and names the complete copy, which stays.
  const std::string second = folder.File("second-name.csv");
  ASSERT_EQ(::link(name.c_str(), second.c_str()), 0);
  {
    SafeFileWriter writer(name);
    writer.Append(Bytes(10000, 'n').data(), 10000);
    FileSizeLimit full(4096);
    const std::string refusal = ThrownText<FileError>([&] { writer.Commit(); }, &FileError::what);
    EXPECT_TRUE(Contains(refusal, "may be incomplete now")) << refusal;
    EXPECT_TRUE(Contains(refusal, "\"" + name + kCompleteCopySuffix + "\""));
  }
  EXPECT_EQ(ReadBytes(name + kCompleteCopySuffix), Bytes(10000, 'n'));
  EXPECT_FALSE(fs::exists(name + kSaveTemporarySuffix));
  EXPECT_EQ(FindUnfinishedSave(second), std::nullopt);  // looked for under the name saved
  EXPECT_EQ(FindUnfinishedSave(name), name + kCompleteCopySuffix);
  fs::remove(second);
  fs::remove(name + kCompleteCopySuffix);
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
  EXPECT_EQ(std::pair(fs::exists(name + kSaveTemporarySuffix), ReadBytes(name)), std::pair(false, Bytes(100, 'o')));
}

TEST(SafeFileWriter, AFileInAFolderTheUserCannotWriteIsRefusedOrWrittenFromACopyAside) {
  // Run as an ordinary user: by the superuser through a child that gives up its rights, by
  // anyone else as they are. The files are that user's own, so renaming could keep their owner:
  // only the folder decides that they are written in place.
  TempFolder folder;
  OpenToEveryone(folder.Path(), 0755);
  const std::string shut = folder.File("shut");
  fs::create_directory(shut);
  const std::string map = shut + "/map.ocd";
  const std::string readOnly = shut + "/kept.ocd";
  WriteBytes(map, Bytes(5000, 1));
  WriteBytes(readOnly, {1});
  const std::string aside = folder.File("cache");
  fs::create_directory(aside);
  if (::geteuid() == 0) {
    for (const std::string& path : {map, readOnly, aside})
      ASSERT_EQ(::chown(path.c_str(), testing::kUnprivilegedUser, testing::kUnprivilegedUser), 0);
  }
  OpenToEveryone(map, 0640);
  OpenToEveryone(readOnly, 0444);
  OpenToEveryone(shut, 0555);
  const struct stat before = StatOf(map);

  const std::string outcome = RunUnprivileged([&]() -> std::string {
    if (::access(shut.c_str(), W_OK) == 0) return "skip";
    // Without a place for the copy: refused, naming the folder, the file as it was.
    std::string refusal = RefusalOf(map, {2});
    if (!Contains(refusal, "its folder \"" + shut + "\" is not writable")) return refusal;
    if (ReadBytes(map) != Bytes(5000, 1)) return "the refused file changed";
    refusal = RefusalOf(shut + "/new.ocd", {2});
    if (!Contains(refusal, "cannot be made there")) return refusal;
    // With it: overwritten in place, shorter than before, and the copy aside is gone.
    ReplaceFileAtomically(map, {3, 4, 5}, {aside});
    if (ReadBytes(map) != Bytes{3, 4, 5}) return "not written in place";
    ReplaceFileAtomically(map, Bytes(3 << 20, 6), {aside});
    if (ReadBytes(map) != Bytes(3 << 20, 6)) return "a long file was not written whole";
    ReplaceFileAtomically(readOnly, {7}, {aside});
    if (ReadBytes(readOnly) != Bytes{7}) return "the read-only file was not written";
    return fs::is_empty(aside) ? "" : "the copy aside stayed";
  });
  OpenToEveryone(shut, 0755);
  if (outcome == "skip") GTEST_SKIP() << "the folder stays writable for this user";
  EXPECT_EQ(outcome, "");
  const struct stat after = StatOf(map);
  EXPECT_EQ(std::tuple(after.st_ino, after.st_uid, after.st_mode & 07777),
            std::tuple(before.st_ino, before.st_uid, 0640u));
  EXPECT_EQ(StatOf(readOnly).st_mode & 07777, 0444u);
}

TEST(SafeFileWriter, TheTemporaryIsAlwaysANewFileWithANameThatFits) {
  TempFolder folder;
  const std::string target = folder.File("out.stl");
  const std::string victim = folder.File("someone-else.txt");
  WriteBytes(victim, {'v'});
  const SaveFileNames names = SaveFileNamesFor(target);
  EXPECT_EQ(names.Temporary, target + kSaveTemporarySuffix);
  EXPECT_EQ(names.Complete, target + kCompleteCopySuffix);

  // A second name of another file put where the temporary goes: that file is never written.
  ASSERT_EQ(::link(victim.c_str(), names.Temporary.c_str()), 0);
  ReplaceFileAtomically(target, {1, 2, 3});
  EXPECT_EQ(std::tuple(ReadBytes(target), ReadBytes(victim), StatOf(victim).st_nlink),
            std::tuple(Bytes{1, 2, 3}, Bytes{'v'}, nlink_t{1}));
  // Nor through a symbolic link there, nor at the complete copy's name of a file written in
  // place (here: one with a second name).
  fs::create_symlink(victim, names.Temporary);
  ReplaceFileAtomically(target, {4});
  const std::string second = folder.File("second.stl");
  ASSERT_EQ(::link(target.c_str(), second.c_str()), 0);
  ASSERT_EQ(::link(victim.c_str(), names.Complete.c_str()), 0);
  ReplaceFileAtomically(target, {5, 6});
  EXPECT_EQ(ReadBytes(second), (Bytes{5, 6}));
  EXPECT_EQ(ReadBytes(victim), (Bytes{'v'}));
  EXPECT_FALSE(fs::exists(names.Temporary) || fs::exists(names.Complete));

  // In a shared folder (sticky, as /tmp) another user's file in the way cannot be removed, even
  // when anyone may write it: the write is refused, naming it, and that file stays as it was.
  if (::geteuid() == 0) {
    OpenToEveryone(folder.Path(), 0755);
    const std::string shared = folder.File("shared");
    fs::create_directory(shared);
    OpenToEveryone(shared, 01777);
    const std::string theirs = shared + "/out.stl" + kSaveTemporarySuffix;
    WriteBytes(theirs, {'r'});
    OpenToEveryone(theirs, 0666);
    EXPECT_EQ(RunUnprivileged([&] {
                const std::string refusal = RefusalOf(shared + "/out.stl", {1});
                return Contains(refusal, "\"" + theirs + "\" is in the way") ? "" : refusal;
              }),
              "");
    EXPECT_EQ(ReadBytes(theirs), (Bytes{'r'}));
  }

  // Names near the longest a folder takes: the temporaries are cut and marked, so they fit, and
  // two names alike in their first 240 bytes do not share them.
  const std::string longName = folder.File(std::string(245, 'l') + ".stl");
  const std::string alike = folder.File(std::string(245, 'l') + ".glb");
  const std::string accents = folder.File(std::string(81, 'a') + [] {
    std::string e;
    for (int i = 0; i < 85; ++i) e += "\xC3\xA9";  // e acute, two bytes each
    return e;
  }());
  for (const std::string& name : {longName, alike, accents}) {
    SCOPED_TRACE(name.size());
    ReplaceFileAtomically(name, {7});
    EXPECT_EQ(ReadBytes(name), (Bytes{7}));
    const SaveFileNames cut = SaveFileNamesFor(name);
    for (const std::string& made : {cut.Temporary, cut.Complete}) {
      const std::string file = fs::path(made).filename().string();
      EXPECT_LE(file.size(), 255u);
      EXPECT_EQ(fs::path(made).parent_path(), fs::path(name).parent_path());
      EXPECT_EQ(file.find("\xC3\xA9\xC3."), std::string::npos) << "a character cut in two";
    }
  }
  EXPECT_NE(SaveFileNamesFor(longName).Temporary, SaveFileNamesFor(alike).Temporary);
  // Written in place (a second name), and a temporary of a killed run found again by its name.
  ASSERT_EQ(::link(longName.c_str(), folder.File("short.stl").c_str()), 0);
  ReplaceFileAtomically(longName, {8, 8});
  EXPECT_EQ(ReadBytes(folder.File("short.stl")), (Bytes{8, 8}));
  WriteBytes(SaveFileNamesFor(longName).Temporary, {1});
  RemoveStaleSaveTemporary(longName);
  EXPECT_FALSE(fs::exists(SaveFileNamesFor(longName).Temporary));

  // The copy aside of a file in a folder that is not writable is marked with the whole path,
  // so two maps of one name in two folders keep theirs apart.
  const SaveFileNames asideA = SaveFileNamesFor("/a/map.ocd", folder.Path());
  const SaveFileNames asideB = SaveFileNamesFor("/b/map.ocd", folder.Path());
  EXPECT_NE(asideA.Complete, asideB.Complete);
  EXPECT_EQ(fs::path(asideA.Complete).parent_path(), fs::path(folder.Path()));
  EXPECT_EQ(fs::path(asideA.Complete).filename().string().rfind("map.ocd.", 0), 0u);
}

// Overwrites name (a file with a second name, so written in place) with fresh in a child that
// the system kills once a third of it is written: past that length a file may not grow, and the
// signal for that ends the process where it stands. Returns whether it ended so.
bool KillAThirdOfTheWayThroughOverwrite(const std::string& name, const Bytes& fresh) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    SafeFileWriter writer(name);
    writer.Append(fresh.data(), fresh.size());
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit noCore{0, 0};
    const rlimit third{fresh.size() / 3, fresh.size() / 3};
    if (::setrlimit(RLIMIT_CORE, &noCore) != 0 || ::setrlimit(RLIMIT_FSIZE, &third) != 0)
      ::_exit(1);
    writer.Commit();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}

TEST(SafeFileWriter, AKillWhileAFileIsOverwrittenInPlaceLeavesItsCompleteCopyForTheNextOpening) {
  TempFolder folder;
  const std::string name = folder.File("map.ocd");
  const std::string second = folder.File("other-name.ocd");
  const SaveFileNames names = SaveFileNamesFor(name);
  const std::size_t size = 3 << 20;
  Bytes fresh(size, 'n');
  fresh.back() = 'N';
  WriteBytes(name, Bytes(size, 'o'));
  ASSERT_EQ(::link(name.c_str(), second.c_str()), 0);
  ASSERT_TRUE(KillAThirdOfTheWayThroughOverwrite(name, fresh));
  const Bytes found = ReadBytes(second);
  // A new head and an old tail.
  EXPECT_EQ(std::pair(found.front(), found.back()), std::pair(std::uint8_t{'n'}, std::uint8_t{'o'}));
  // What the next opening does first removes temporaries of killed runs, never this copy.
  RemoveStaleSaveTemporary(name);
  ASSERT_TRUE(fs::exists(names.Complete));
  EXPECT_EQ(ReadBytes(names.Complete), fresh);
  EXPECT_FALSE(fs::exists(names.Temporary));
  {
    // Held by a running save, it is no interrupted save.
    const FileStream running(names.Complete, FileMode::ReadExclusive);
    EXPECT_EQ(FindUnfinishedSave(name), std::nullopt);
  }
  const std::optional<std::string> copy = FindUnfinishedSave(name);
  ASSERT_EQ(copy, names.Complete);
  FinishUnfinishedSave(name, *copy);
  // Every name sees the finished save, and the copy is gone.
  EXPECT_EQ(std::tuple(ReadBytes(second), StatOf(name).st_nlink, fs::exists(names.Complete)),
            std::tuple(fresh, nlink_t{2}, false));

  // Killed after the last byte, before the copy went: the copy is the target and just goes.
  WriteBytes(names.Complete, {1, 2});
  WriteBytes(name, {1, 2});
  EXPECT_EQ(FindUnfinishedSave(name), std::nullopt);
  EXPECT_FALSE(fs::exists(names.Complete));
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
  EXPECT_EQ(std::pair(ReadBytes(beside), fs::exists(beside + kSaveTemporarySuffix)), std::pair(Bytes(1000, 'o'), false));

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
