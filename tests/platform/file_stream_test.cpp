#include <gtest/gtest.h>

#include "platform/file_stream.h"
#include "platform/instance_lock.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::FileErrorReason;
using testing::ReadBytes;
using testing::TempFolder;
using testing::ThrownText;
using testing::WriteBytes;

TEST(FileStream, PositionedRecordsAndErrorsNamingTheFile) {
  TempFolder folder;
  const std::string name = folder.File("records.bin");
  WriteBytes(name, {1, 2, 3, 4, 5, 6});
  {
    FileStream stream(name, FileMode::ReadWriteExclusive);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(stream.ReadExact(2, 3), (std::vector<std::uint8_t>{3, 4, 5}));
    const std::uint8_t patch[2] = {9, 9};
    stream.Write(1, patch, 2);
    std::uint8_t tail[4] = {};
    EXPECT_EQ(stream.ReadSome(4, tail, 4), 2u);
    const auto pastTheEnd = [&] { stream.ReadExact(5, 2); };
    EXPECT_EQ(ThrownText<FileError>(pastTheEnd, &FileError::FileName), name);
    EXPECT_NE(ThrownText<FileError>(pastTheEnd, &FileError::what).find(name), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(name), (std::vector<std::uint8_t>{1, 9, 9, 4, 5, 6}));
  EXPECT_THROW(FileStream(folder.File("missing.bin"), FileMode::ReadExclusive), FileError);
  // A folder is not a file.
  EXPECT_EQ(std::tuple(FileExists(name), FileExists(folder.File("missing.bin")), FileExists(folder.Path())),
            std::tuple(true, false, false));
}

TEST(FileStream, ExclusiveOpeningKeepsOthersOutButDenyWriteShares) {
  TempFolder folder;
  const std::string name = folder.File("shared.bin");
  WriteBytes(name, {1, 2, 3});
  {
    FileStream reader(name, FileMode::ReadDenyWrite);
    FileStream secondReader(name, FileMode::ReadDenyWrite);
    EXPECT_THROW(FileStream(name, FileMode::ReadWriteExclusive), FileError);
    // A file in use is never emptied by someone trying to create it.
    EXPECT_THROW(FileStream(name, FileMode::CreateExclusive), FileError);
  }
  EXPECT_EQ(ReadBytes(name).size(), 3u);
  FileStream writer(name, FileMode::ReadWriteExclusive);
  EXPECT_THROW(FileStream(name, FileMode::ReadDenyWrite), FileError);
}

TEST(FileStream, AtomicReplaceIntoAMissingFolderSaysWhichFolder) {
  TempFolder folder;
  EXPECT_EQ(FileErrorReason([&] { ReplaceFileAtomically(folder.File("no/such/folder.ocd"), {1}); }),
            "its folder \"" + folder.File("no/such") + "\" does not exist");
}

TEST(FileStream, OpensOnlyRegularFilesAndSaysWhatItFoundInstead) {
  TempFolder folder;
  testing::HangGuard guard;  // opening a fifo for reading would wait for a writer
  const std::string fifo = folder.File("map.bmp");
  testing::MakeFifo(fifo);
  for (FileMode mode : {FileMode::ReadExclusive, FileMode::ReadDenyWrite, FileMode::ReadWriteExclusive,
                        FileMode::CreateExclusive, FileMode::WriteExistingExclusive}) {
    EXPECT_EQ(FileErrorReason([&] { FileStream stream(fifo, mode); }),
              "it is a fifo (a named pipe), not a file");
  }
  EXPECT_THROW(RequireRegularFile(fifo), FileError);
  EXPECT_THROW(RequireRegularFile(folder.Path()), FileError);
  EXPECT_THROW(RequireRegularFile(folder.File("missing")), FileError);
  WriteBytes(folder.File("plain"), {1});
  RequireRegularFile(folder.File("plain"));
  EXPECT_EQ(FileStream(folder.File("plain"), FileMode::ReadDenyWrite).ReadExact(0, 1)[0], 1);
  EXPECT_EQ(FileErrorReason([] { FileStream stream("/dev/null", FileMode::ReadDenyWrite); }),
            "it is a device, not a file");
}

TEST(InstanceLock, ASecondHolderIsRefusedUntilTheFirstEnds) {
  TempFolder folder;
  const std::string copy = folder.File("OCADCopy.tmp");
  {
    InstanceLock first(copy);
    ASSERT_TRUE(first.Held());
    InstanceLock second(copy);
    EXPECT_FALSE(second.Held());
    EXPECT_FALSE(second.Reason().empty());
  }
  InstanceLock again(copy);
  EXPECT_TRUE(again.Held());
}

}  // namespace
}  // namespace terrak
